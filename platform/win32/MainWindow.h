#pragma once

#include "platform/win32/WindowsApi.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace quillmark::win32 {

using EventSink = std::function<void(WindowEvent, const ControlRef&)>;
// Files dropped on the window and the control under the drop point (none
// when the point is on no control).
using DropSink = std::function<void(const std::vector<std::wstring>& files, const ControlRef& underDrop)>;
// Whether the session may end now (WM_QUERYENDSESSION).
using SessionEndQuery = std::function<bool()>;

// The main window, built by walking the control table: every control at
// its twips position converted at the window's DPI, with its caption, font,
// tooltip and tab order; a caption too wide for its control gets a smaller
// size of its font. It turns control notifications and dropped files into
// window events and holds no logic of its own.
class MainWindow {
public:
    // A control's window ID is its position in the control table plus this.
    static constexpr int kFirstControlId = 1000;
    static constexpr const wchar_t* kClassName = L"QuillmarkMainWindow";

    // What the first paint does not need: the tooltips, the icons sized
    // for the window's DPI (the class's icons stand in until then) and the
    // system menu's own items.
    enum class Extras {
        Now,             // with the window
        AfterFirstShow,  // once Show() has made the window visible: a quicker start
    };

    // Creates the window hidden, with all its controls, laid out at `dpi`
    // (0: the DPI of the monitor the window is on).
    explicit MainWindow(HINSTANCE instance, UINT dpi = 0, Extras extras = Extras::Now);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Handle() const { return window_; }
    // nullptr for a control that has no window (the file dialog) or does
    // not exist.
    HWND Control(const ControlRef& control) const;
    UINT Dpi() const { return dpi_; }

    // Events reach the sink from the moment it is set.
    void SetEventSink(EventSink sink) { sink_ = std::move(sink); }
    void SetDropSink(DropSink sink) { dropSink_ = std::move(sink); }
    void SetSessionEndQuery(SessionEndQuery query) { sessionEndQuery_ = std::move(query); }
    void Show();
    // Greys or enables an item the window added to its system menu.
    void SetMenuItemEnabled(const std::wstring& item, bool enabled);

    // While busy the window shows the wait cursor wherever the mouse is.
    void SetBusy(bool busy);
    bool Busy() const { return busy_; }

    // True when `message` is input addressed to this window or one of its
    // controls.
    bool IsOwnInput(const MSG& message) const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void SetIcons(HINSTANCE instance);
    // In tab-index order, at their places: the z-order that dialog
    // navigation follows is the creation order.
    void CreateControls(HINSTANCE instance);
    void CreateTooltips(HINSTANCE instance);
    void AddExtras();
    void ApplyFonts();
    void PlaceWindow(const RECT* suggestedWindowRect);
    void PlaceControls();
    RECT ControlRect(std::size_t tablePosition) const;
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnDropFiles(HDROP drop);
    // The control under a point of the client area; none where there is none.
    ControlRef ControlAt(POINT point) const;
    void OnActivate(WPARAM wParam);
    bool IsHeading(HWND control) const;
    void Emit(WindowEvent event, std::size_t tablePosition);

    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND lastFocus_ = nullptr;
    std::vector<HWND> controls_;  // one per control-table entry
    std::vector<HFONT> fonts_;    // every font the controls use, owned
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    EventSink sink_;
    DropSink dropSink_;
    SessionEndQuery sessionEndQuery_;
    bool extrasPending_ = false;
    bool busy_ = false;
    bool destroying_ = false;
};

}  // namespace quillmark::win32
