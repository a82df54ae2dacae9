#pragma once

#include <optional>
#include <string>

namespace quillmark {

// The icon of a message box.
enum class Severity { None, Information, Warning };
enum class Buttons { Ok, YesNo };
// Which button of a Yes/No box Enter presses.
enum class DefaultAnswer { Yes, No };
enum class Answer { Ok, Yes, No };

// The Open dialog's settings: a filter of "description|pattern" pairs and
// the 1-based index of the selected filter.
struct OpenDialogRequest {
    bool hideReadOnly = false;
    std::wstring filter;
    int filterIndex = 1;
};

// Modal dialogs, owned by the main window.
struct Dialogs {
    virtual ~Dialogs() = default;

    // Nothing when the dialog is cancelled or fails.
    virtual std::optional<std::wstring> ShowOpenDialog(const OpenDialogRequest& request) = 0;
    // The button pressed; Ok also when the box could not be shown.
    virtual Answer MessageBox(const std::wstring& text, const std::wstring& title, Severity severity,
                              Buttons buttons = Buttons::Ok, DefaultAnswer byDefault = DefaultAnswer::Yes) = 0;
    // The shell's Properties sheet of a file; whether it opens is not known.
    virtual void ShowPropertiesSheet(const std::wstring& path) = 0;
};

}  // namespace quillmark
