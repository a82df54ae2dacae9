// The yardstick for start-up times: the least a Win32 program does to show
// one window (a class, the window, a message loop), built like Quillmark.exe.
// Built a second time with QUILLMARK_BENCH_SAME_DLLS (and Quillmark's
// manifest), it loads the DLLs Quillmark.exe imports: the part of
// Quillmark's start-up that is the loader's. Built a third time with
// QUILLMARK_BENCH_SAME_CONTROLS as well, it also creates Quillmark's controls
// (their classes, captions and places) and gives each one font: the part
// that is the window system's.
#include <windows.h>

#ifdef QUILLMARK_BENCH_SAME_DLLS
// after windows.h, which they need
#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#endif
#ifdef QUILLMARK_BENCH_SAME_CONTROLS
#include "platform/win32/ControlClasses.h"
#include "platform/win32/Dpi.h"
#include "ui/ControlTable.h"
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

#ifdef QUILLMARK_BENCH_SAME_CONTROLS
// At 96 DPI, as the tests' desktop is; the frame's children are placed inside it.
void CreateSameControls(HWND window, HINSTANCE instance) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    const HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    int frameLeft = 0, frameTop = 0;
    for (const quillmark::ControlSpec& spec : quillmark::ControlTable()) {
        if (spec.kind == quillmark::ControlKind::Frame) frameLeft = spec.left, frameTop = spec.top;
    }
    for (const quillmark::ControlSpec& spec : quillmark::ControlTable()) {
        const quillmark::win32::ControlClass kind = quillmark::win32::ClassFor(spec.kind);
        if (kind.className == nullptr) continue;
        const auto pixels = [](int twips) { return quillmark::win32::TwipsToPixels(twips, USER_DEFAULT_SCREEN_DPI); };
        const int left = (spec.inFrame ? frameLeft : 0) + spec.left, top = (spec.inFrame ? frameTop : 0) + spec.top;
        const HWND control = CreateWindowExW(
            kind.exStyle, kind.className, spec.caption, WS_CHILD | WS_VISIBLE | kind.style, pixels(left), pixels(top),
            pixels(spec.width), pixels(spec.height), window, nullptr, instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}
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
#ifdef QUILLMARK_BENCH_SAME_CONTROLS
    CreateSameControls(window, instance);
#endif
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
