#pragma once

#include <span>

namespace quillmark {

enum class ControlKind { Button, TextBox, Label, Frame, FileDialog };

// Look of a control's text beyond the window's default font.
enum class ControlLook {
    Default,
    BlueBoldHeading,  // "ＭＳ Ｐゴシック" 9 pt, weight 700, character set 128, pure blue
};

// One control of the main window. Positions and sizes are in twips; those of
// controls inside the frame are relative to the frame.
struct ControlSpec {
    ControlKind kind;
    const wchar_t* name;
    int index;  // -1 when the control is not part of an array
    const wchar_t* caption;
    int left, top, width, height;
    int tabIndex;  // -1 for the invisible dialog
    bool inFrame;
    bool startsDisabled;
    ControlLook look;
    const wchar_t* tooltip;  // nullptr when none
};

struct WindowSpec {
    const wchar_t* caption;
    int clientWidth, clientHeight;  // twips
};

// The items the window adds to its system menu (Alt+Space): the name their
// click events carry, and their captions.
struct MenuItemSpec {
    const wchar_t* name;
    const wchar_t* caption;
};

inline constexpr MenuItemSpec kLoadFromExeItem{L"mnuLoadFromExe", L"実行ファイルから読み込む(&L)"};
// The system menu's own 元のサイズに戻す already takes R.
inline constexpr MenuItemSpec kRestoreBackupItem{L"mnuRestoreBackup", L"バックアップから元に戻す(&B)"};

inline constexpr int kTwipsPerInch = 1440;

const WindowSpec& MainWindowSpec();

// Every control, in creation order.
std::span<const ControlSpec> ControlTable();

}  // namespace quillmark
