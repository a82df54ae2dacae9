// A small program the Windows-side tests start, wait for and look at.
//   sleep <ms> <exit code>     exits with the code after the time
//   window <title> <ms>        shows a window in front until closed or the time is up
//   touch <path>               creates an empty file
//   holdclipboard <event> <ms> keeps the clipboard open, signals the event, then waits
#include "platform/win32/WindowsApi.h"

#include <cwchar>
#include <string>

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
    return 2;
}
