#include "ui/ControlTable.h"

#include <array>

namespace quillmark {

namespace {

using K = ControlKind;
using L = ControlLook;

constexpr WindowSpec kWindow{L"Quillmark", 5895, 6645};

// Tops of the string fields and of the field labels come from the field
// table; they are repeated here so that the whole window is one table.
constexpr std::array kControls{
    ControlSpec{K::Button, L"cmdView", -1, L"確認", 3540, 6120, 1035, 375, 19, false, true, L::Default, nullptr},
    ControlSpec{K::Button, L"cmdOpenExe", -1, L"参照...", 4920, 1200, 855, 315, 3, false, false, L::Default, nullptr},
    ControlSpec{K::Button, L"cmdEnd", -1, L"終了(&X)", 4680, 6120, 1095, 375, 20, false, false, L::Default, nullptr},
    ControlSpec{K::TextBox, L"txtExe", -1, L"", 180, 1200, 4575, 330, 2, false, false, L::Default, nullptr},
    ControlSpec{K::Button, L"cmdOpenHack", -1, L"参照...", 4920, 480, 855, 315, 1, false, false, L::Default, nullptr},
    ControlSpec{K::FileDialog, L"cdlFile", -1, L"", 0, 0, 0, 0, -1, false, false, L::Default, nullptr},
    ControlSpec{K::Frame, L"Frame1", -1, L"バージョン情報", 120, 1620, 5655, 4275, 21, false, false, L::BlueBoldHeading,
                nullptr},
    ControlSpec{K::TextBox, L"txtProductVer", 0, L"1", 2580, 3120, 435, 270, 13, true, false, L::Default, nullptr},
    ControlSpec{K::TextBox, L"txtProductVer", 1, L"0", 3660, 3120, 435, 270, 14, true, false, L::Default, nullptr},
    ControlSpec{K::TextBox, L"txtProductVer", 2, L"0", 4680, 3120, 735, 270, 15, true, false, L::Default, nullptr},
    ControlSpec{K::TextBox, L"txtFileVer", 0, L"1", 2580, 2760, 435, 270, 10, true, false, L::Default, nullptr},
    ControlSpec{K::TextBox, L"txtFileVer", 1, L"0", 3660, 2760, 435, 270, 11, true, false, L::Default, nullptr},
    ControlSpec{K::TextBox, L"txtFileVer", 2, L"0", 4680, 2760, 735, 270, 12, true, false, L::Default, nullptr},
    ControlSpec{K::TextBox, L"txtInfo", 0, L"Text1", 1980, 420, 3435, 270, 4, true, false, L::Default, nullptr},
    ControlSpec{K::TextBox, L"txtInfo", 1, L"Text1", 1980, 798, 3435, 270, 5, true, false, L::Default, nullptr},
    ControlSpec{K::TextBox, L"txtInfo", 2, L"Text1", 1980, 1200, 3435, 270, 6, true, false, L::Default, nullptr},
    ControlSpec{K::TextBox, L"txtInfo", 3, L"Text1", 1980, 1554, 3435, 270, 7, true, false, L::Default, nullptr},
    ControlSpec{K::TextBox, L"txtInfo", 4, L"Text1", 1980, 1932, 3435, 270, 8, true, false, L::Default, nullptr},
    ControlSpec{K::TextBox, L"txtInfo", 5, L"Text1", 1980, 2340, 3435, 270, 9, true, false, L::Default, nullptr},
    ControlSpec{K::TextBox, L"txtInfo", 8, L"Text1", 1980, 3444, 3435, 270, 16, true, false, L::Default, nullptr},
    ControlSpec{K::TextBox, L"txtInfo", 9, L"Text1", 1980, 3825, 3435, 270, 17, true, false, L::Default, nullptr},
    ControlSpec{K::Label, L"Label3", 0, L"Major", 2040, 3120, 435, 270, 37, true, false, L::Default, nullptr},
    ControlSpec{K::Label, L"Label3", 1, L"Minor", 3120, 3120, 435, 270, 38, true, false, L::Default, nullptr},
    ControlSpec{K::Label, L"Label3", 2, L"Rev.", 4200, 3120, 435, 270, 39, true, false, L::Default, nullptr},
    ControlSpec{K::Label, L"Label2", 0, L"Major", 2040, 2760, 435, 270, 36, true, false, L::Default, nullptr},
    ControlSpec{K::Label, L"Label2", 1, L"Minor", 3120, 2760, 435, 270, 34, true, false, L::Default, nullptr},
    ControlSpec{K::Label, L"Label2", 2, L"Rev.", 4200, 2760, 435, 270, 35, true, false, L::Default, nullptr},
    ControlSpec{K::Label, L"lblInfo", 0, L"Comments", 240, 420, 1515, 195, 22, true, false, L::Default, L"コメント"},
    ControlSpec{K::Label, L"lblInfo", 1, L"CompanyName", 240, 780, 1515, 195, 23, true, false, L::Default, L"会社名"},
    ControlSpec{K::Label, L"lblInfo", 2, L"FileDescription", 240, 1192, 1515, 195, 24, true, false, L::Default,
                L"説明"},
    ControlSpec{K::Label, L"lblInfo", 3, L"LegalCopyright", 240, 1578, 1515, 195, 25, true, false, L::Default,
                L"著作権"},
    ControlSpec{K::Label, L"lblInfo", 4, L"LegalTrademarks", 240, 1964, 1515, 195, 26, true, false, L::Default,
                L"商標"},
    ControlSpec{K::Label, L"lblInfo", 5, L"ProductName", 240, 2350, 1515, 195, 27, true, false, L::Default, L"製品名"},
    ControlSpec{K::Label, L"lblInfo", 6, L"FileVersion", 240, 2736, 1515, 195, 28, true, false, L::Default,
                L"ファイルバージョン"},
    ControlSpec{K::Label, L"lblInfo", 7, L"ProductVersion", 240, 3122, 1515, 195, 29, true, false, L::Default,
                L"製品バージョン"},
    ControlSpec{K::Label, L"lblInfo", 8, L"InternalName", 240, 3508, 1515, 195, 30, true, false, L::Default, L"内部名"},
    ControlSpec{K::Label, L"lblInfo", 9, L"OriginalFilename", 240, 3900, 1515, 195, 31, true, false, L::Default,
                L"正式ファイル名"},
    ControlSpec{K::TextBox, L"txtResHack", -1, L"", 180, 480, 4575, 315, 0, false, false, L::Default, nullptr},
    ControlSpec{K::Button, L"Command1", -1, L"バージョン情報の追加/変更を実行", 120, 6120, 3315, 375, 18, false, true,
                L::Default, nullptr},
    ControlSpec{K::Label, L"Label1", 1, L"バージョン情報の追加／修正を行う実行ファイルのフルパス", 240, 900, 5535, 255,
                33, false, false, L::BlueBoldHeading, nullptr},
    ControlSpec{K::Label, L"Label1", 0, L"「ResHacker.exe」のフルパス", 240, 180, 5535, 255, 32, false, false,
                L::BlueBoldHeading, nullptr},
};

}  // namespace

const WindowSpec& MainWindowSpec() { return kWindow; }

std::span<const ControlSpec> ControlTable() { return kControls; }

}  // namespace quillmark
