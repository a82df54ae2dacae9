#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillmark::portable {

// The separators of the user's locale.
struct NumberSeparators {
    wchar_t decimal = L'.';
    wchar_t thousands = L',';
};

// Text-to-number conversion after the rules of Windows' automation
// conversions: blanks around the number, a leading sign, thousands
// separators in the integer part, the locale's decimal separator, an
// exponent, and the "&H" (hexadecimal) and "&O" (octal) forms. Nothing for
// anything else, for an empty text and for a value that does not fit.
std::optional<double> ParseNumber(std::wstring_view text, const NumberSeparators& separators);

// Whole-number conversions round a fraction to the nearest integer, an
// exact half to the even one, before testing the range.
std::optional<std::int32_t> TextToLong(std::wstring_view text, const NumberSeparators& separators);
std::optional<std::int16_t> TextToInteger(std::wstring_view text, const NumberSeparators& separators);
std::optional<double> TextToDouble(std::wstring_view text, const NumberSeparators& separators);
std::optional<float> TextToSingle(std::wstring_view text, const NumberSeparators& separators);

}  // namespace quillmark::portable
