// The yardstick for start-up times: the least a Win32 program does to show
// one window (a class, the window, a message loop), built like Quillmark.exe.
// Built a second time with QUILLMARK_BENCH_SAME_DLLS (and Quillmark's
// manifest), it loads the DLLs Quillmark.exe imports: the part of
// Quillmark's start-up that is the loader's.
#include <windows.h>

#ifdef QUILLMARK_BENCH_SAME_DLLS
// after windows.h, which they need
#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#endif

namespace {

#ifdef QUILLMARK_BENCH_SAME_DLLS
// Referenced, never called: one function of each DLL makes it an import.
using AnyFunction = void (*)();
AnyFunction volatile kImports[] = {
    reinterpret_cast<AnyFunction>(&InitCommonControlsEx), reinterpret_cast<AnyFunction>(&GetOpenFileNameW),
    reinterpret_cast<AnyFunction>(&CoInitializeEx),       reinterpret_cast<AnyFunction>(&VarI4FromStr),
    reinterpret_cast<AnyFunction>(&ShellExecuteExW),
};
#endif

constexpr const wchar_t* kClassName = L"QuillmarkBenchMinimalWindow";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
#ifdef QUILLMARK_BENCH_SAME_DLLS
    for (const AnyFunction function : kImports) {
        if (function == nullptr) return 1;
    }
#endif
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0) return 1;

    const HWND window = CreateWindowExW(0, kClassName, L"Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
