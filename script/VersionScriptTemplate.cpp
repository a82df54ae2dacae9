#include "script/VersionScriptTemplate.h"

#include <array>

namespace quillmark {

namespace {

// One entry per line; every line ends in CR LF. The string lines stand at
// the depth of their block's braces, as the editor expects to find them.
constexpr std::array<const wchar_t*, 28> kLines{
    L"1 VERSIONINFO",
    L"FILEVERSION 1, 0, 0, 0",
    L"PRODUCTVERSION 1, 0, 0, 0",
    L"FILEOS 0x4",
    L"FILETYPE 0x1",
    L"{",
    L"BLOCK \"StringFileInfo\"",
    L"{",
    L"\tBLOCK \"041104B0\"",
    L"\t{",
    L"\tValue \"Comments\", \"(Comments)\"",
    L"\tValue \"CompanyName\", \"(CompanyName)\"",
    L"\tValue \"FileDescription\", \"(FileDescription)\"",
    L"\tValue \"LegalCopyright\", \"(LegalCopyright)\"",
    L"\tValue \"LegalTrademarks\", \"(LegalTrademarks)\"",
    L"\tValue \"ProductName\", \"(ProductName)\"",
    L"\tValue \"FileVersion\", \"(FileVersion)\"",
    L"\tValue \"ProductVersion\", \"(ProductVersion)\"",
    L"\tValue \"InternalName\", \"(InternalName)\"",
    L"\tValue \"OriginalFilename\", \"(OriginalFilename)\"",
    L"\t}",
    L"}",
    L"",
    L"BLOCK \"VarFileInfo\"",
    L"{",
    L"\tVALUE \"Translation\", 0x0411 0x04B0",
    L"}",
    L"}",
};

}  // namespace

std::wstring BuildVersionScriptTemplate() {
    std::wstring text;
    for (const wchar_t* line : kLines) {
        text += line;
        text += L"\r\n";
    }
    return text;
}

}  // namespace quillmark
