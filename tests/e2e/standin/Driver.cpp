// Test driver: plays the part of the tool towards the stand-in editor. It
// starts the editor from an exact command line (no shell quoting between),
// and in "keys" mode puts a script on the clipboard and sends the tool's key
// sequence once the editor's window is in front; "hold" keeps Wine's desktop
// up for the length of a test.

#include <windows.h>

#include <cstdio>
#include <string>

#include "FileIo.h"
#include "press/KeySequence.h"

namespace {

enum Exit : int {
    kUsage = 10,
    kUnreadable = 11,
    kClipboard = 12,
    kStartFailed = 13,
    kNeverInFront = 14,
    kDidNotEnd = 15,
};

void Say(const std::wstring& text) {
    const std::string utf8 = standin::ToUtf8(text + L"\n");
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

bool ReadText(const wchar_t* path, std::wstring& text) {
    const auto bytes = standin::ReadFileBytes(path);
    if (!bytes) return false;
    text = standin::DecodeText(*bytes);
    return true;
}

bool PutOnClipboard(const std::wstring& text) {
    bool opened = false;
    for (int attempt = 0; attempt < 50 && !(opened = OpenClipboard(nullptr)); ++attempt) Sleep(100);
    if (!opened) return false;
    EmptyClipboard();
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool ok = false;
    if (memory != nullptr) {
        void* target = GlobalLock(memory);
        CopyMemory(target, text.c_str(), bytes);
        GlobalUnlock(memory);
        ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        if (!ok) GlobalFree(memory);
    }
    CloseClipboard();
    return ok;
}

bool Start(std::wstring commandLine, WORD show, PROCESS_INFORMATION& process) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process) != 0;
}

int AwaitExit(const PROCESS_INFORMATION& process, DWORD timeoutMs) {
    int result = kDidNotEnd;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        Say(L"driver: editor ended with exit code " + std::to_wstring(code));
        result = static_cast<int>(code);
    } else {
        Say(L"driver: editor still running after " + std::to_wstring(timeoutMs) + L" ms; terminating it");
        TerminateProcess(process.hProcess, 99);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[128] = {};
    if (hwnd != nullptr) GetClassNameW(hwnd, name, 127);
    return name;
}

// True once the editor's window is the foreground window and one of its
// controls holds the keyboard focus.
bool WaitUntilInFront(DWORD processId, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < deadline) {
        HWND front = GetForegroundWindow();
        DWORD owner = 0;
        const DWORD thread = front != nullptr ? GetWindowThreadProcessId(front, &owner) : 0;
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (owner == processId && GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr) {
            Say(L"driver: editor in front, focus on a " + ClassOf(info.hwndFocus));
            return true;
        }
        Sleep(50);
    }
    return false;
}

void SendKeySequence(DWORD gapMs) {
    int events = 0;
    auto key = [&](int code, DWORD flags) {
        keybd_event(static_cast<BYTE>(code), 0, flags, 0);
        ++events;
        if (gapMs != 0) Sleep(gapMs);
    };
    for (const quillmark::KeyStroke& stroke : quillmark::EditorKeySequence()) {
        key(stroke.first, 0);
        if (stroke.second) {
            key(*stroke.second, 0);
            key(*stroke.second, KEYEVENTF_KEYUP);
        }
        key(stroke.first, KEYEVENTF_KEYUP);
    }
    Say(L"driver: sent " + std::to_wstring(events) + L" key events");
}

LRESULT CALLBACK HolderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER || msg == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// Keeps Wine's desktop alive for a whole test: Wine closes it a second after
// its last process ends, and a window created while it closes fails (or its
// X request kills the process). Writes `readyFile` once a window exists.
int Hold(const wchar_t* readyFile, DWORD seconds) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = HolderProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"StandinDesktopHolder";
    RegisterClassW(&wc);
    HWND hwnd = nullptr;
    for (int attempt = 0; attempt < 40 && hwnd == nullptr; ++attempt) {
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                               nullptr);
        if (hwnd == nullptr) Sleep(250);
    }
    if (hwnd == nullptr) {
        Say(L"driver: no window could be created: " + standin::LastErrorText());
        return kStartFailed;
    }
    SetTimer(hwnd, 1, seconds * 1000, nullptr);
    if (!standin::WriteFileBytes(readyFile, {'r', 'e', 'a', 'd', 'y'})) return kUnreadable;
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"launch" && argc == 4) {
        std::wstring commandLine;
        if (!ReadText(argv[2], commandLine)) return kUnreadable;
        Say(L"driver: launching hidden: " + commandLine);
        PROCESS_INFORMATION process{};
        if (!Start(commandLine, SW_HIDE, process)) {
            Say(L"driver: cannot start: " + standin::LastErrorText());
            return kStartFailed;
        }
        return AwaitExit(process, static_cast<DWORD>(_wtoi(argv[3])));
    }
    if (mode == L"keys" && (argc == 5 || argc == 6)) {
        std::wstring commandLine, script;
        if (!ReadText(argv[2], commandLine) || !ReadText(argv[3], script)) return kUnreadable;
        const auto timeoutMs = static_cast<DWORD>(_wtoi(argv[4]));
        const auto gapMs = argc == 6 ? static_cast<DWORD>(_wtoi(argv[5])) : 0;
        if (!PutOnClipboard(script)) {
            Say(L"driver: cannot set the clipboard");
            return kClipboard;
        }
        Say(L"driver: launching: " + commandLine);
        PROCESS_INFORMATION process{};
        if (!Start(commandLine, SW_SHOWNORMAL, process)) {
            Say(L"driver: cannot start: " + standin::LastErrorText());
            return kStartFailed;
        }
        WaitForInputIdle(process.hProcess, timeoutMs);
        if (!WaitUntilInFront(process.dwProcessId, timeoutMs)) {
            Say(L"driver: the editor's window never came to the front");
            AwaitExit(process, 0);
            return kNeverInFront;
        }
        SendKeySequence(gapMs);
        return AwaitExit(process, timeoutMs);
    }
    if (mode == L"hold" && argc == 4) return Hold(argv[2], static_cast<DWORD>(_wtoi(argv[3])));
    Say(L"usage: StandinDriver launch <command-line file> <timeout ms>\n"
        L"       StandinDriver keys <command-line file> <clipboard text file> <timeout ms> [gap ms]\n"
        L"       StandinDriver hold <ready file> <seconds>");
    return kUsage;
}
