#pragma once

#include <string>

namespace quillmark {

// The number formatting of the patterns "#0", "00", "0000" and "00000000":
// a whole number of at least `minDigits` digits, leading zeros added, a
// fraction rounded half away from zero, a minus sign before the zeros.
std::wstring FormatWithMinDigits(double value, int minDigits);

}  // namespace quillmark
