// A small program the Windows-side tests start, wait for and look at.
//   sleep <ms> <exit code>     exits with the code after the time
//   window <title> <ms>        shows a window in front until closed or the time is up
//   touch <path>               creates an empty file
//   holdclipboard <event> <ms> keeps the clipboard open, signals the event, then waits
//   waitwindow <class> <title> <ms>   exits 0 once such a window is visible and painted
//   closewindow <class> <title> <ms>  closes such windows and exits 0 once none is left
//   waitmain <class> <title> <ms>     as waitwindow, answering with OK the message
//                                     boxes of that title on the way (their text
//                                     goes to the output)
// A class of "*" stands for any class (a message box as well as the window).
#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

int Number(const wchar_t* text) { return static_cast<int>(std::wcstol(text, nullptr, 10)); }

LRESULT CALLBACK HelperWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int ShowWindowFor(HINSTANCE instance, const wchar_t* title, int lifetimeMs) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HelperWindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"QuillmarkTestHelper";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW, 100, 100, 300, 200,
                                        nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 3;
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    UpdateWindow(window);
    SetTimer(window, 1, static_cast<UINT>(lifetimeMs), nullptr);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) {
            DestroyWindow(window);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

struct WindowQuery {
    const wchar_t* className;  // nullptr: any class
    const wchar_t* title;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto* query = reinterpret_cast<WindowQuery*>(parameter);
    wchar_t text[256] = {};
    wchar_t name[256] = {};
    GetWindowTextW(window, text, 256);
    GetClassNameW(window, name, 256);
    if (lstrcmpW(text, query->title) != 0) return TRUE;
    if (query->className != nullptr && lstrcmpiW(name, query->className) != 0) return TRUE;
    if (query->visibleOnly && !IsWindowVisible(window)) return TRUE;
    query->found = window;
    return FALSE;
}

HWND FindTopLevel(const wchar_t* className, const wchar_t* title, bool visibleOnly) {
    WindowQuery query{lstrcmpW(className, L"*") == 0 ? nullptr : className, title, visibleOnly, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

// Polls until `done` holds; 0 then, 1 at the time limit.
template <typename Done>
int Until(int timeoutMs, Done done) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        if (done()) return 0;
        if (GetTickCount64() >= deadline) return 1;
        Sleep(50);
    }
}

int WaitForWindow(const wchar_t* className, const wchar_t* title, int timeoutMs) {
    return Until(timeoutMs, [&] {
        const HWND window = FindTopLevel(className, title, true);
        if (window == nullptr) return false;
        // Answered only after the paint messages queued before it.
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
    });
}

int WaitForMainWindow(const wchar_t* className, const wchar_t* title, int timeoutMs) {
    std::vector<HWND> answered;
    return Until(timeoutMs, [&] {
        const HWND box = FindTopLevel(L"#32770", title, true);
        if (box != nullptr && std::find(answered.begin(), answered.end(), box) == answered.end()) {
            wchar_t text[1024] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 1024);  // a message box's text
            char bytes[4096] = {};
            WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof(bytes) - 1, nullptr, nullptr);
            std::printf("message box answered: %s\n", bytes);
            std::fflush(stdout);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            answered.push_back(box);
        }
        const HWND window = FindTopLevel(className, title, true);
        if (window == nullptr) return false;
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
    });
}

int CloseNamedWindows(const wchar_t* className, const wchar_t* title, int timeoutMs) {
    return Until(timeoutMs, [&] {
        const HWND window = FindTopLevel(className, title, false);
        if (window == nullptr) return true;
        PostMessageW(window, WM_CLOSE, 0, 0);
        return false;
    });
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr || count < 2) return 2;
    const std::wstring mode = arguments[1];
    if (mode == L"sleep" && count >= 4) {
        Sleep(static_cast<DWORD>(Number(arguments[2])));
        return Number(arguments[3]);
    }
    if (mode == L"window" && count >= 4) {
        return ShowWindowFor(instance, arguments[2], Number(arguments[3]));
    }
    if (mode == L"touch" && count >= 3) {
        const HANDLE file =
            CreateFileW(arguments[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 3;
        CloseHandle(file);
        return 0;
    }
    if (mode == L"holdclipboard" && count >= 4) {
        if (!OpenClipboard(nullptr)) return 3;
        const HANDLE opened = OpenEventW(EVENT_MODIFY_STATE, FALSE, arguments[2]);
        if (opened != nullptr) {
            SetEvent(opened);
            CloseHandle(opened);
        }
        Sleep(static_cast<DWORD>(Number(arguments[3])));
        CloseClipboard();
        return 0;
    }
    if (mode == L"waitwindow" && count >= 5) {
        return WaitForWindow(arguments[2], arguments[3], Number(arguments[4]));
    }
    if (mode == L"waitmain" && count >= 5) {
        return WaitForMainWindow(arguments[2], arguments[3], Number(arguments[4]));
    }
    if (mode == L"closewindow" && count >= 5) {
        return CloseNamedWindows(arguments[2], arguments[3], Number(arguments[4]));
    }
    return 2;
}
