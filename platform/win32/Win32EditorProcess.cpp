#include "platform/win32/Win32Platform.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/OpResults.h"
#include "platform/win32/SystemText.h"

namespace quillmark::win32 {

namespace {

// The longest the ready wait goes without looking at the window's messages
// or at which window is in front.
constexpr DWORD kPollMs = 10;

// How long an ended process may take to be gone.
constexpr DWORD kEndProcessWaitMs = 10000;

HANDLE ProcessHandle(std::uintptr_t process) { return reinterpret_cast<HANDLE>(process); }

DWORD Remaining(ULONGLONG deadline) {
    const ULONGLONG now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, INFINITE - 1));
}

// The program a command line starts: its first operand, quoted or not.
std::wstring ProgramOf(const std::wstring& commandLine) {
    if (!commandLine.empty() && commandLine[0] == L'"') {
        return commandLine.substr(1, commandLine.find(L'"', 1) - 1);
    }
    return commandLine.substr(0, commandLine.find(L' '));
}

ULONGLONG DeadlineAfter(int timeoutMs) { return GetTickCount64() + static_cast<ULONGLONG>(std::max(timeoutMs, 0)); }

// Where keys would go now: the window in front and its thread's focus.
struct KeyboardTarget {
    HWND foreground = nullptr;
    HWND focus = nullptr;
    bool operator==(const KeyboardTarget&) const = default;
};

std::optional<KeyboardTarget> KeyboardTargetIn(DWORD processId) {
    const HWND foreground = GetForegroundWindow();
    if (foreground == nullptr || !IsWindowVisible(foreground)) return std::nullopt;
    DWORD owner = 0;
    const DWORD thread = GetWindowThreadProcessId(foreground, &owner);
    if (owner != processId) return std::nullopt;
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(thread, &info)) info.hwndFocus = nullptr;
    return KeyboardTarget{foreground, info.hwndFocus};
}

WORD ShowWindowCommand(int showState) {
    switch (showState) {
        case 0:
            return SW_HIDE;
        case 1:
            return SW_SHOWNORMAL;
        default:
            return static_cast<WORD>(showState);
    }
}

}  // namespace

LaunchResult Win32Platform::Launch(const std::wstring& commandLine, int showState) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = ShowWindowCommand(showState);
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        return {0, ErrorText(GetLastError(), ProgramOf(commandLine))};
    }
    CloseHandle(started.hThread);
    return {reinterpret_cast<std::uintptr_t>(started.hProcess), {}};
}

void Win32Platform::DispatchWhileWaiting() {
    MSG message{};
    bool quit = false;
    WPARAM quitCode = 0;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            quitCode = message.wParam;
            continue;
        }
        if (window_.IsOwnInput(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The program's own message loop still has to see it.
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

WaitOutcome Win32Platform::WaitUntilReady(std::uintptr_t process, int timeoutMs) {
    const HANDLE handle = ProcessHandle(process);
    const DWORD processId = GetProcessId(handle);
    if (processId == 0) return WaitOutcome::Failed;
    const ULONGLONG deadline = DeadlineAfter(timeoutMs);
    bool idle = false;
    // A program often comes to the front before it has put the focus where
    // it wants it; keys typed in between are lost. Ready means: in front,
    // and the same focus seen over a whole poll interval.
    std::optional<KeyboardTarget> seen;
    ULONGLONG seenSince = 0;
    for (;;) {
        if (!idle) {
            // Ends when the process first waits for input, a slice at a time
            // so that the window keeps painting in between. WAIT_FAILED: a
            // process without a message queue is never "idle"; only its
            // window in front can tell.
            idle = WaitForInputIdle(handle, std::min(kPollMs, Remaining(deadline))) != WAIT_TIMEOUT;
            DispatchWhileWaiting();
        }
        if (idle) {
            const std::optional<KeyboardTarget> target = KeyboardTargetIn(processId);
            const ULONGLONG now = GetTickCount64();
            if (target && target == seen && now - seenSince >= kPollMs) {
                // One message round trip: its thread is back in its message loop.
                DWORD_PTR ignored = 0;
                SendMessageTimeoutW(target->foreground, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, Remaining(deadline), &ignored);
                return WaitOutcome::Done;
            }
            if (target != seen) {
                seen = target;
                seenSince = now;
            }
        }
        const DWORD remaining = Remaining(deadline);
        if (remaining == 0) return WaitOutcome::TimedOut;
        if (!idle) {
            const bool ended = WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
            if (ended) return WaitOutcome::Failed;  // before it was ready
            continue;
        }
        // No event tells when a window comes to the front: a short poll, cut
        // shorter by our own messages (losing the activation sends some).
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(1, &handle, std::min(kPollMs, remaining), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) return WaitOutcome::Failed;  // ended before it was ready
        if (woke == WAIT_OBJECT_0 + 1) DispatchWhileWaiting();
        if (woke == WAIT_FAILED) return WaitOutcome::Failed;
    }
}

WaitOutcome Win32Platform::WaitForExit(std::uintptr_t process, int timeoutMs) {
    const HANDLE handle = ProcessHandle(process);
    const ULONGLONG deadline = DeadlineAfter(timeoutMs);
    for (;;) {
        const DWORD remaining = Remaining(deadline);
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &handle, remaining, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) return WaitOutcome::Done;
        if (woke == WAIT_TIMEOUT) return WaitOutcome::TimedOut;
        if (woke != WAIT_OBJECT_0 + 1) return WaitOutcome::Failed;
        DispatchWhileWaiting();
        if (remaining == 0) {
            // Messages keep coming after the time is up: the process decides.
            const DWORD last = WaitForSingleObject(handle, 0);
            if (last == WAIT_OBJECT_0) return WaitOutcome::Done;
            return last == WAIT_TIMEOUT ? WaitOutcome::TimedOut : WaitOutcome::Failed;
        }
    }
}

std::optional<std::uint32_t> Win32Platform::ExitCode(std::uintptr_t process) {
    DWORD code = 0;
    if (!GetExitCodeProcess(ProcessHandle(process), &code)) return std::nullopt;
    return code;
}

void Win32Platform::ReleaseProcess(std::uintptr_t process) {
    if (process != 0) CloseHandle(ProcessHandle(process));
}

bool Win32Platform::EndStartedProcess(std::uintptr_t process) {
    const HANDLE handle = ProcessHandle(process);
    if (WaitForSingleObject(handle, 0) == WAIT_OBJECT_0) return true;
    // Ending is asynchronous: the files it held are only closed once the
    // process is gone.
    if (!TerminateProcess(handle, 1) && WaitForSingleObject(handle, 0) != WAIT_OBJECT_0) return false;
    return WaitForSingleObject(handle, kEndProcessWaitMs) == WAIT_OBJECT_0;
}

void Win32Platform::KeybdEvent(std::uint8_t virtualKey, KeyDirection direction) {
    keybd_event(virtualKey, 0, direction == KeyDirection::Up ? KEYEVENTF_KEYUP : 0, 0);
}

}  // namespace quillmark::win32
