#include "script/NumberFormat.h"

#include <cmath>
#include <cstdio>

namespace quillmark {

std::wstring FormatWithMinDigits(double value, int minDigits) {
    const double rounded = std::round(value);  // halves away from zero
    if (!std::isfinite(rounded)) {
        return L"0";
    }
    const bool negative = rounded < 0;
    char digits[400];
    std::snprintf(digits, sizeof digits, "%.0f", std::fabs(rounded));
    std::wstring text(digits, digits + std::char_traits<char>::length(digits));
    if (static_cast<int>(text.size()) < minDigits) {
        text.insert(0, static_cast<std::size_t>(minDigits) - text.size(), L'0');
    }
    return negative ? L"-" + text : text;
}

}  // namespace quillmark
