#include "platform/portable/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace quillmark::portable {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring_view TrimBlanks(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// "&H1F" and "&O17": a 32-bit pattern, as the automation conversions take it.
std::optional<double> ParseRadix(std::wstring_view digits, int radix) {
    if (digits.empty() || digits.size() > 11) return std::nullopt;
    std::uint64_t value = 0;
    for (wchar_t c : digits) {
        int d = -1;
        if (IsDigit(c))
            d = c - L'0';
        else if (c >= L'a' && c <= L'f')
            d = c - L'a' + 10;
        else if (c >= L'A' && c <= L'F')
            d = c - L'A' + 10;
        if (d < 0 || d >= radix) return std::nullopt;
        value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(d);
    }
    if (value > 0xFFFFFFFFu) return std::nullopt;
    if (value > 0xFFFFu) return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
    return static_cast<double>(value);
}

std::optional<double> ParseDecimal(std::wstring_view text, const NumberSeparators& separators) {
    std::string ascii;  // the number rewritten for from_chars
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    bool anyDigit = false;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (IsDigit(c)) {
            ascii += static_cast<char>(c);
            anyDigit = true;
        } else if (c == separators.thousands && anyDigit) {
            continue;
        } else {
            break;
        }
    }
    if (i < text.size() && text[i] == separators.decimal) {
        ascii += '.';
        for (++i; i < text.size() && IsDigit(text[i]); ++i) {
            ascii += static_cast<char>(text[i]);
            anyDigit = true;
        }
    }
    if (!anyDigit) return std::nullopt;
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        std::string exponent = "e";
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == L'+' || text[j] == L'-')) exponent += static_cast<char>(text[j++]);
        const std::size_t firstDigit = j;
        for (; j < text.size() && IsDigit(text[j]); ++j) exponent += static_cast<char>(text[j]);
        if (j == firstDigit) return std::nullopt;
        ascii += exponent;
        i = j;
    }
    if (i != text.size()) return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc{} || end != ascii.data() + ascii.size() || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

template <typename Int>
std::optional<Int> RoundToInt(std::optional<double> value) {
    if (!value) return std::nullopt;
    const double rounded = std::nearbyint(*value);  // the default mode: halves to even
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        return std::nullopt;
    }
    return static_cast<Int>(rounded);
}

}  // namespace

std::optional<double> ParseNumber(std::wstring_view text, const NumberSeparators& separators) {
    text = TrimBlanks(text);
    if (text.size() >= 2 && text[0] == L'&') {
        if (text[1] == L'H' || text[1] == L'h') return ParseRadix(text.substr(2), 16);
        if (text[1] == L'O' || text[1] == L'o') return ParseRadix(text.substr(2), 8);
        return std::nullopt;
    }
    return ParseDecimal(text, separators);
}

std::optional<std::int32_t> TextToLong(std::wstring_view text, const NumberSeparators& separators) {
    return RoundToInt<std::int32_t>(ParseNumber(text, separators));
}

std::optional<std::int16_t> TextToInteger(std::wstring_view text, const NumberSeparators& separators) {
    return RoundToInt<std::int16_t>(ParseNumber(text, separators));
}

std::optional<double> TextToDouble(std::wstring_view text, const NumberSeparators& separators) {
    return ParseNumber(text, separators);
}

std::optional<float> TextToSingle(std::wstring_view text, const NumberSeparators& separators) {
    const auto value = ParseNumber(text, separators);
    if (!value || std::fabs(*value) > static_cast<double>(std::numeric_limits<float>::max())) return std::nullopt;
    return static_cast<float>(*value);
}

}  // namespace quillmark::portable
