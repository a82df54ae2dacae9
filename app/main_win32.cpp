#include "platform/win32/WindowsApi.h"

#include <cstdlib>
#include <exception>

#include "app/frmMain.h"
#include "platform/win32/MainWindow.h"
#include "platform/win32/Win32Platform.h"

// The runtime's own handler prints the uncaught exception's type, and links
// its whole demangler (about 45 KB) into the program for that; a window
// program has no console to print to.
#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Every later DLL load looks in system32 only: a DLL left beside the
    // program (often in Downloads) is never picked up.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The tooltips and DPI-sized icons wait until the window is visible.
    quillmark::win32::MainWindow window(instance, 0, quillmark::win32::MainWindow::Extras::AfterFirstShow);
    if (window.Handle() == nullptr) return 1;
    quillmark::win32::Win32Platform platform(window);
    quillmark::frmMain form(platform);
    window.SetEventSink(
        [&form](quillmark::WindowEvent event, const quillmark::ControlRef& control) { form.OnEvent(event, control); });
    window.SetDropSink([&form](const std::vector<std::wstring>& files, const quillmark::ControlRef& underDrop) {
        form.Form_DropFiles(files, underDrop);
    });
    window.SetSessionEndQuery([&form] { return form.Form_QueryEndSession(); });

    form.OnEvent(quillmark::WindowEvent::Initialize);
    form.OnEvent(quillmark::WindowEvent::Load);  // shows the window itself

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, Shift+Tab and the access keys (Alt+X) as in a dialog.
        if (IsDialogMessageW(window.Handle(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
