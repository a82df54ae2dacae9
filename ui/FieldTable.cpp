#include "ui/FieldTable.h"

#include <array>

namespace quillmark {

namespace {

constexpr std::array<FieldSpec, kFieldCount> kFields{{
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

}  // namespace

std::span<const FieldSpec, kFieldCount> FieldTable() { return kFields; }

}  // namespace quillmark
