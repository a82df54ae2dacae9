#include "platform/win32/ControlClasses.h"

namespace quillmark::win32 {

ControlClass ClassFor(ControlKind kind) {
    switch (kind) {
        case ControlKind::Button:
            return {WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, 0};
        case ControlKind::TextBox:
            // The sunken edge alone, as in a dialog: a border on top of it
            // would take two more pixels from the text's height.
            return {WC_EDITW, WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::Label:
            // SS_NOTIFY: the tooltip control only sees the mouse over a
            // static that answers hit tests.
            return {WC_STATICW, SS_LEFT | SS_NOTIFY, 0};
        case ControlKind::Frame:
            return {WC_BUTTONW, BS_GROUPBOX, 0};
        case ControlKind::FileDialog:
            break;
    }
    return {nullptr, 0, 0};
}

}  // namespace quillmark::win32
