#pragma once

#include <array>
#include <span>

namespace quillmark {

// The ten version-information fields. The index is shared by lblInfo,
// txtInfo and every walk over the fields; the window's label and input rows
// are made from this table.
struct FieldSpec {
    int index;
    const wchar_t* keyName;  // caption of lblInfo(index)
    const wchar_t* tooltip;  // the Japanese field name
    int labelTop;            // twips, inside the frame
    int inputTop;
    const wchar_t* inputName;  // txtInfo, txtFileVer or txtProductVer
    int inputTab;              // tab index of the (first) input
};

inline constexpr int kFieldCount = 10;
inline constexpr int kFileVersionField = 6;
inline constexpr int kProductVersionField = 7;

// In the header so that the control table can be made from it at compile time.
inline constexpr std::array<FieldSpec, kFieldCount> kFieldSpecs{{
    {0, L"Comments", L"コメント", 420, 420, L"txtInfo", 4},
    {1, L"CompanyName", L"会社名", 780, 798, L"txtInfo", 5},
    {2, L"FileDescription", L"説明", 1192, 1200, L"txtInfo", 6},
    {3, L"LegalCopyright", L"著作権", 1578, 1554, L"txtInfo", 7},
    {4, L"LegalTrademarks", L"商標", 1964, 1932, L"txtInfo", 8},
    {5, L"ProductName", L"製品名", 2350, 2340, L"txtInfo", 9},
    {6, L"FileVersion", L"ファイルバージョン", 2736, 2760, L"txtFileVer", 10},
    {7, L"ProductVersion", L"製品バージョン", 3122, 3120, L"txtProductVer", 13},
    {8, L"InternalName", L"内部名", 3508, 3444, L"txtInfo", 16},
    {9, L"OriginalFilename", L"正式ファイル名", 3900, 3825, L"txtInfo", 17},
}};

std::span<const FieldSpec, kFieldCount> FieldTable();

inline constexpr bool IsVersionField(int index) { return index == kFileVersionField || index == kProductVersionField; }

}  // namespace quillmark
