#pragma once
// Number conversion of script attributes: a text's leading decimal number as a double, cut to a
// 32-bit signed integer.
//
// Grammar of the accepted prefix: optional leading whitespace, optional sign, then digits with an
// optional point and fraction digits, or a point and digits; then an optional exponent (e or E,
// optional sign, at least one digit). "5.", ".5" and "1.e2" count. No hex, no inf/nan, no digit
// separators. Text without such a prefix gives 0. Independent of the locale.

#include <cstdint>
#include <string_view>

namespace xsc {

// The leading number as a double; 0 when there is none, and 0 when it is too large for a
// double ("1e400").
double Val(std::string_view text);

// The leading number as the 32-bit float nearest to it (rounded once, not by way of a double);
// 0 when there is none.
float ValFloat(std::string_view text);

// Truncates toward zero and reduces modulo 2^32 into a signed 32-bit value, exactly also far
// beyond the 64-bit range: 4294967295 gives -1, 1e30 gives 1e30 mod 2^32. NaN and infinities
// give 0.
std::int32_t ToInt32(double value);

// Val then ToInt32: how every number attribute of a script is read.
inline std::int32_t NumberAttribute(std::string_view text) { return ToInt32(Val(text)); }

}  // namespace xsc
