// fuzz-sources: platform/portable/NumberText.cpp script/NumberFormat.cpp
// The number conversions and the formatting on arbitrary text: no crash,
// a converted value always fits its type or the conversion reports a
// failure, and the formatting always gives a plain, padded whole number.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "platform/portable/NumberText.h"
#include "script/NumberFormat.h"

namespace {

using namespace quillmark;

// Mostly the characters numbers are made of, with a few others mixed in.
std::wstring TextFrom(FuzzedDataProvider& data) {
    static constexpr wchar_t kAlphabet[] = L"0123456789 \t+-.,eE&HhOoabcdefxX\uFF11\u00A0\u3000";
    std::wstring text;
    const std::size_t length = data.ConsumeIntegralInRange<std::size_t>(0, 40);
    for (std::size_t i = 0; i < length && data.remaining_bytes() > 0; ++i) {
        const auto pick = data.ConsumeIntegral<std::uint8_t>();
        text += pick < 240 ? kAlphabet[pick % (sizeof kAlphabet / sizeof kAlphabet[0] - 1)]
                           : static_cast<wchar_t>(data.ConsumeIntegralInRange<std::uint32_t>(1, 0xFFFF));
    }
    return text;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

template <typename Int>
void CheckWholeNumber(std::optional<Int> converted, std::optional<double> parsed) {
    if (!parsed) {
        Check(!converted);
        return;
    }
    const double rounded = std::nearbyint(*parsed);
    const bool fits = rounded >= static_cast<double>(std::numeric_limits<Int>::min()) &&
                      rounded <= static_cast<double>(std::numeric_limits<Int>::max());
    Check(converted.has_value() == fits);
    if (converted) Check(static_cast<double>(*converted) == rounded);
}

void CheckFormatting(double value, int digits) {
    const std::wstring text = FormatWithMinDigits(value, digits);
    std::size_t start = 0;
    if (!text.empty() && text[0] == L'-') start = 1;
    Check(text.size() > start);
    Check(text.size() - start >= static_cast<std::size_t>(digits));
    for (std::size_t i = start; i < text.size(); ++i) Check(text[i] >= L'0' && text[i] <= L'9');
    if (std::fabs(value) < 1e15) {
        const double expected = std::round(value);
        const double back = std::stod(std::string(text.begin(), text.end()));
        Check(back == expected || (expected == 0 && back == 0));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const portable::NumberSeparators separators =
        data.ConsumeBool() ? portable::NumberSeparators{} : portable::NumberSeparators{L',', L'.'};
    const std::wstring text = TextFrom(data);

    const std::optional<double> parsed = portable::ParseNumber(text, separators);
    if (parsed) Check(std::isfinite(*parsed));
    CheckWholeNumber(portable::TextToLong(text, separators), parsed);
    CheckWholeNumber(portable::TextToInteger(text, separators), parsed);
    Check(portable::TextToDouble(text, separators) == parsed);
    const auto single = portable::TextToSingle(text, separators);
    if (single) Check(std::isfinite(*single));
    if (parsed && std::fabs(*parsed) <= std::numeric_limits<float>::max()) Check(single.has_value());

    const int digits = data.ConsumeIntegralInRange<int>(1, 8);
    if (parsed) CheckFormatting(*parsed, digits);
    CheckFormatting(data.ConsumeFloatingPointInRange<double>(-1e300, 1e300), digits);
    return 0;
}
