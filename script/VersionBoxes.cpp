#include "script/VersionBoxes.h"

#include <array>

namespace quillmark {

namespace {

constexpr std::array<VersionBox, 6> kBoxes{{
    {L"txtFileVer", 0, 0, 0, L"ファイルバージョンの Major"},
    {L"txtFileVer", 1, 0, 1, L"ファイルバージョンの Minor"},
    {L"txtFileVer", 2, 0, 3, L"ファイルバージョンの Rev."},
    {L"txtProductVer", 0, 1, 0, L"製品バージョンの Major"},
    {L"txtProductVer", 1, 1, 1, L"製品バージョンの Minor"},
    {L"txtProductVer", 2, 1, 3, L"製品バージョンの Rev."},
}};

}  // namespace

std::span<const VersionBox, 6> VersionBoxes() { return kBoxes; }

std::variant<VersionTable, ConversionFailure> ReadVersionTable(std::span<const std::wstring, 6> texts,
                                                               const TextToNumber& textToLong) {
    VersionTable table{};  // the third numbers stay 0
    for (std::size_t i = 0; i < kBoxes.size(); ++i) {
        const VersionBox& box = kBoxes[i];
        const std::wstring& text = texts[i];
        const auto value = textToLong(text);
        if (!value) {
            return ConversionFailure{std::wstring(box.description) + L"「" + text +
                                     L"」を数値として読み取れません。\r\n"
                                     L"0 以上の整数を半角で入力してください。"};
        }
        table[static_cast<std::size_t>(box.row)][static_cast<std::size_t>(box.column)] = *value;
    }
    return table;
}

}  // namespace quillmark
