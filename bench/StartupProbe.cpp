// Start-up times seen from outside, with one clock: starts each program in
// turn, notes the time just before CreateProcess and the time its window of
// the given class is first visible (polled every millisecond), reads its
// working set, then closes it.
//
//   StartupProbe.exe <results> <runs> <exe> <window class> [<exe> <window class>...]
//
// The programs alternate (A B, then B A, ...) so that a drift of the machine
// weighs on them alike; each is started once more beforehand, unmeasured,
// so that every measured start finds its files cached. One UTF-8 line per
// start: "<exe name> <run> <launch> <created> <visible> <peak working set>
// <exit code>", times in 100 ns ticks since 1601 (created: the process's
// creation time as the system records it), the working set in bytes once the
// window is up and idle.
#include <windows.h>
// after windows.h, which it needs
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 1;
constexpr ULONGLONG kWindowLimitMs = 30000;
constexpr DWORD kIdleLimitMs = 10000;
constexpr DWORD kExitLimitMs = 10000;
constexpr const wchar_t* kDialogClass = L"#32770";

std::uint64_t Ticks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::uint64_t Now() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return Ticks(now);
}

struct Program {
    std::wstring path;
    std::wstring windowClass;
    std::wstring name;
};

struct Start {
    std::uint64_t launch = 0;
    std::uint64_t created = 0;
    std::uint64_t visible = 0;
    std::uint64_t peakWorkingSet = 0;
    DWORD exitCode = 0;
};

HWND VisibleWindowOf(const std::wstring& windowClass, DWORD processId) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, windowClass.c_str(), nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

// Nothing (and the reason on stderr) when the program could not be measured.
bool Measure(const Program& program, Start& start) {
    const std::wstring folder = program.path.substr(0, program.path.find_last_of(L"\\/") + 1);
    std::wstring line = L"\"" + program.path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    start.launch = Now();
    if (!CreateProcessW(program.path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        std::fwprintf(stderr, L"%ls: CreateProcess error %lu\n", program.name.c_str(), GetLastError());
        return false;
    }
    CloseHandle(started.hThread);
    HWND window = nullptr;
    const ULONGLONG deadline = GetTickCount64() + kWindowLimitMs;
    bool stopped = false;
    while ((window = VisibleWindowOf(program.windowClass, started.dwProcessId)) == nullptr) {
        // A message box before the window: not the usual start.
        stopped = VisibleWindowOf(kDialogClass, started.dwProcessId) != nullptr;
        if (stopped || WaitForSingleObject(started.hProcess, 0) == WAIT_OBJECT_0 || GetTickCount64() >= deadline) {
            break;
        }
        Sleep(kPollMs);
    }
    start.visible = Now();
    bool measured = window != nullptr;
    if (!measured) {
        std::fwprintf(stderr, L"%ls: %ls\n", program.name.c_str(),
                      stopped ? L"a message box came before the window" : L"no visible window of the class");
    }

    FILETIME created{}, exited{}, kernel{}, user{};
    if (GetProcessTimes(started.hProcess, &created, &exited, &kernel, &user)) start.created = Ticks(created);
    if (measured) {
        WaitForInputIdle(started.hProcess, kIdleLimitMs);
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof(counters);
        if (GetProcessMemoryInfo(started.hProcess, &counters, sizeof(counters))) {
            start.peakWorkingSet = counters.PeakWorkingSetSize;
        }
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(started.hProcess, measured ? kExitLimitMs : 0) != WAIT_OBJECT_0) {
        if (measured) std::fwprintf(stderr, L"%ls: did not end after WM_CLOSE; terminated\n", program.name.c_str());
        TerminateProcess(started.hProcess, 255);
        WaitForSingleObject(started.hProcess, kExitLimitMs);
        measured = false;
    }
    GetExitCodeProcess(started.hProcess, &start.exitCode);
    CloseHandle(started.hProcess);
    return measured;
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5 || argc % 2 != 1) {
        std::fputws(L"usage: StartupProbe <results> <runs> <exe> <window class> [<exe> <window class>...]\n", stderr);
        return 2;
    }
    const int runs = _wtoi(argv[2]);
    std::vector<Program> programs;
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::wstring path = argv[i];
        programs.push_back({path, argv[i + 1], path.substr(path.find_last_of(L"\\/") + 1)});
    }
    FILE* results = _wfopen(argv[1], L"wb");
    if (results == nullptr) return 2;

    // The first start that cannot be measured ends the run.
    int code = 0;
    for (const Program& program : programs) {
        Start warmUp;
        if (code == 0 && !Measure(program, warmUp)) code = 1;
    }
    for (int run = 0; run < runs && code == 0; ++run) {
        for (std::size_t i = 0; i < programs.size() && code == 0; ++i) {
            const Program& program = programs[run % 2 == 0 ? i : programs.size() - 1 - i];
            Start start;
            if (!Measure(program, start)) {
                code = 1;
                break;
            }
            std::fprintf(results, "%s %d %llu %llu %llu %llu %lu\n", ToUtf8(program.name).c_str(), run,
                         static_cast<unsigned long long>(start.launch), static_cast<unsigned long long>(start.created),
                         static_cast<unsigned long long>(start.visible),
                         static_cast<unsigned long long>(start.peakWorkingSet), start.exitCode);
            std::fflush(results);
        }
    }
    std::fclose(results);
    return code;
}
