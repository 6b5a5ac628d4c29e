// Number attributes: the longest leading decimal number of a text (Val), truncated toward zero
// and reduced modulo 2^32 to a signed 32-bit value (NumberAttribute).

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

#include "runtime/Val.h"

namespace xsc {
namespace {

struct ValCase {
    const char* text;
    double number;       // Val
    std::int32_t value;  // NumberAttribute
};

void PrintTo(const ValCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class NumberText : public ::testing::TestWithParam<ValCase> {};

TEST_P(NumberText, ReadsTheLeadingNumberAndCutsItTo32Bits) {
    EXPECT_EQ(Val(GetParam().text), GetParam().number);
    EXPECT_EQ(NumberAttribute(GetParam().text), GetParam().value);
}

constexpr std::int32_t kMin = -2147483647 - 1;

INSTANTIATE_TEST_SUITE_P(
    Grammar, NumberText,
    ::testing::Values(
        // Leading whitespace, then the sign directly before the number.
        ValCase{"007", 7, 7}, ValCase{"  \t\n\r-3.25", -3.25, -3}, ValCase{"+5", 5, 5}, ValCase{"- 7", 0, 0},
        ValCase{"+-1", 0, 0},
        // A point needs a digit on one side; an exponent needs a digit.
        ValCase{"5.", 5, 5}, ValCase{"-.5", -0.5, 0}, ValCase{".", 0, 0}, ValCase{".e1", 0, 0},
        ValCase{"1.e2", 100, 100}, ValCase{"2.5E-1", 0.25, 0}, ValCase{"1E+3", 1000, 1000},
        ValCase{"1e", 1, 1}, ValCase{"1e-x", 1, 1},
        // The number ends where the grammar does: no separators, hex, infinities or NaN.
        ValCase{"12abc", 12, 12}, ValCase{"1,000", 1, 1}, ValCase{"1.2.3", 1.2, 1}, ValCase{"0x10", 0, 0},
        ValCase{"", 0, 0}, ValCase{"inf", 0, 0}, ValCase{"nan", 0, 0},
        // Too large for a double: 0. The largest double is a multiple of 2^32.
        ValCase{"1e400", 0, 0}, ValCase{"-1e400", 0, 0},
        ValCase{"1.7976931348623157e308", 1.7976931348623157e308, 0},
        // Modulo 2^32, toward zero.
        ValCase{"2147483648", 2147483648.0, kMin}, ValCase{"4294967295", 4294967295.0, -1},
        ValCase{"4294967297.9", 4294967297.9, 1}, ValCase{"-2147483649", -2147483649.0, 2147483647},
        ValCase{"-4294967297", -4294967297.0, -1}, ValCase{"-0.9", -0.9, 0},
        // Exact beyond 64 bits: 10^17 mod 2^32 = 1569325056; 2^64 + 4096 leaves 4096; 1e30 as a
        // double is a multiple of 2^47.
        ValCase{"1e17", 1e17, 1569325056}, ValCase{"-1e17", -1e17, -1569325056},
        ValCase{"18446744073709555712", 18446744073709555712.0, 4096}, ValCase{"1e30", 1e30, 0}));

}  // namespace
}  // namespace xsc
