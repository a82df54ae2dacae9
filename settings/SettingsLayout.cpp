#include "settings/SettingsLayout.h"

#include "script/NumberFormat.h"

namespace quillmark {

std::wstring VerInfoKey(int fieldIndex) { return L"Info" + std::to_wstring(fieldIndex); }

std::optional<std::wstring> PackVersion(Platform& platform, const VersionBoxTexts& boxes) {
    std::array<double, 3> numbers{};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto number = platform.TextToDouble(boxes[i]);
        if (!number) {
            return std::nullopt;
        }
        numbers[i] = *number;
    }
    return FormatWithMinDigits(numbers[0] * 1000000 + numbers[1] * 10000 + numbers[2], 8);
}

VersionBoxTexts UnpackVersion(Platform& platform, const std::wstring& packed) {
    // The pieces as Left$(s, 2), Mid$(s, 3, 2) and Right$(s, 4) cut them.
    const std::wstring pieces[3] = {
        packed.substr(0, 2),
        packed.size() > 2 ? packed.substr(2, 2) : std::wstring(),
        packed.size() > 4 ? packed.substr(packed.size() - 4) : packed,
    };
    VersionBoxTexts texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto number = platform.TextToLong(pieces[i]);
        if (!number) {
            return {L"1", L"0", L"0"};
        }
        texts[i] = std::to_wstring(*number);
    }
    return texts;
}

}  // namespace quillmark
