#include "verify/Comparison.h"

namespace quillmark::verify {

std::wstring DottedVersion(const std::array<std::uint16_t, 4>& numbers) {
    std::wstring text;
    for (std::size_t n = 0; n < numbers.size(); ++n) {
        if (n > 0) text += L'.';
        text += std::to_wstring(numbers[n]);
    }
    return text;
}

std::vector<Difference> Compare(const ExpectedVersion& expected, const VersionValues& found) {
    std::vector<Difference> differences;
    const std::pair<const wchar_t*, std::array<std::uint16_t, 4> FixedVersions::*> fixedParts[] = {
        {L"FILEVERSION", &FixedVersions::file},
        {L"PRODUCTVERSION", &FixedVersions::product},
    };
    for (const auto& [name, part] : fixedParts) {
        const std::wstring want = DottedVersion(expected.fixed.*part);
        if (!found.fixed) {
            differences.push_back({name, want, std::nullopt});
        } else if ((*found.fixed).*part != expected.fixed.*part) {
            differences.push_back({name, want, DottedVersion((*found.fixed).*part)});
        }
    }
    for (std::size_t k = 0; k < expected.strings.size(); ++k) {
        const auto& [key, want] = expected.strings[k];
        const std::optional<std::wstring> actual = k < found.strings.size() ? found.strings[k] : std::nullopt;
        if (actual != want) differences.push_back({key, want, actual});
    }
    return differences;
}

}  // namespace quillmark::verify
