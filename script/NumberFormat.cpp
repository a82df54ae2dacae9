#include "script/NumberFormat.h"

#include <cmath>
#include <cwchar>
#include <iterator>

namespace quillmark {

std::wstring FormatWithMinDigits(double value, int minDigits) {
    const double rounded = std::round(value);  // halves away from zero
    if (!std::isfinite(rounded)) {
        return L"0";
    }
    const bool negative = rounded < 0;
    // The wide form: the program already carries the wide formatter, and the
    // narrow one would add its own copy.
    wchar_t digits[400];
    std::swprintf(digits, std::size(digits), L"%.0f", std::fabs(rounded));
    std::wstring text(digits);
    if (static_cast<int>(text.size()) < minDigits) {
        text.insert(0, static_cast<std::size_t>(minDigits) - text.size(), L'0');
    }
    return negative ? L"-" + text : text;
}

}  // namespace quillmark
