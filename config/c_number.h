// Numbers in settings.txt, read and printed the way the C library's wide-string conversions
// do it in the "C" locale, whatever locale the process runs in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tonvira {

// Leading white space, one sign, then decimal digits up to the first non-digit; no digits
// give 0, and values past the 32-bit range saturate ("  -12x" -> -12, "abc" -> 0).
int32_t ReadCInteger(std::u16string_view text);
// Leading white space, one sign, then a decimal number with optional fraction and exponent,
// or inf, infinity, nan; reading stops at the first character that does not fit ("2,5" -> 2.0,
// "abc" -> 0.0). Overflow gives an infinity, underflow zero.
double ReadCDouble(std::u16string_view text);
// To float without the undefined behaviour of an out-of-range narrowing: finite values past
// the float range become the largest float of their sign; infinities and NaN stay.
float NarrowToFloat(double value);

// "%d"
std::u16string FormatInteger(int32_t value);
// "%.1f" of the value ("2.0", "0.0", "inf").
std::u16string FormatOneDecimal(double value);

}  // namespace tonvira
