#pragma once

#include <string>

namespace quillmark {

// A control of the main window, addressed by its name and, for control
// arrays, its index (-1 for a control that is not part of an array).
struct ControlRef {
    std::wstring name;
    int index = -1;

    bool operator==(const ControlRef&) const = default;
};

// What the window reports to the logic.
// EndSession: Windows is ending the session (logoff, shutdown).
// MenuClick: an item of the window's system menu, by its name.
// MenuPopup: the system menu is about to open.
enum class WindowEvent { Initialize, Load, Unload, EndSession, Click, Change, MenuClick, MenuPopup };

// The main window and its controls.
struct WindowSystem {
    virtual ~WindowSystem() = default;

    // Setting the text of a control raises its change event, as a real text
    // box does.
    virtual std::wstring GetText(const ControlRef& control) = 0;
    virtual void SetText(const ControlRef& control, const std::wstring& text) = 0;
    virtual void SetEnabled(const ControlRef& control, bool enabled) = 0;
    virtual void ShowMainWindow() = 0;
    // Greys or enables an item of the system menu, by its name.
    virtual void SetMenuItemEnabled(const std::wstring& item, bool enabled) = 0;

    // While a press waits for other programs the window keeps painting,
    // shows a wait cursor and takes no input.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;

    // While a press runs, Windows is told why the session should not end
    // yet (shown on the logoff screen).
    virtual void BlockSessionEnd(const std::wstring& reason) = 0;
    virtual void AllowSessionEnd() = 0;
};

}  // namespace quillmark
