// The number conversion of script attributes: which prefix of a text is a number, and how a
// double is cut to a 32-bit signed integer.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "runtime/Val.h"

namespace xsc {
namespace {

struct ValCase {
    const char* text;
    double expected;
};

void PrintTo(const ValCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class ValPrefix : public ::testing::TestWithParam<ValCase> {};

TEST_P(ValPrefix, ReadsTheLongestLeadingDecimalNumber) {
    EXPECT_EQ(Val(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, ValPrefix,
    ::testing::Values(
        ValCase{"42", 42}, ValCase{"007", 7}, ValCase{"3.25", 3.25}, ValCase{"-3.25", -3.25},
        ValCase{"+5", 5},
        // Leading whitespace, then the sign directly before the number.
        ValCase{"  \t\n\r12", 12}, ValCase{" -7", -7}, ValCase{"- 7", 0}, ValCase{"+-1", 0},
        ValCase{"--1", 0},
        // A point with digits on either side is enough.
        ValCase{"5.", 5}, ValCase{".5", 0.5}, ValCase{"-.5", -0.5}, ValCase{".", 0}, ValCase{"-", 0},
        ValCase{".e1", 0},
        // Exponents count only with at least one digit.
        ValCase{"1e2", 100}, ValCase{"1.e2", 100}, ValCase{"2.5E-1", 0.25}, ValCase{"1E+3", 1000},
        ValCase{"1e", 1}, ValCase{"1e+", 1}, ValCase{"1e-x", 1}, ValCase{"4E", 4},
        // The number ends where the grammar does.
        ValCase{"12abc", 12}, ValCase{"1,000", 1}, ValCase{"1_000", 1}, ValCase{"1'000", 1},
        ValCase{"1.2.3", 1.2}, ValCase{"0x10", 0}, ValCase{"0b1", 0},
        // No number at all.
        ValCase{"", 0}, ValCase{"abc", 0}, ValCase{"inf", 0}, ValCase{"-infinity", 0},
        ValCase{"nan", 0}, ValCase{"NaN", 0}, ValCase{"true", 0},
        // Out of the double's range.
        ValCase{"1e400", 0}, ValCase{"-1e400", 0}, ValCase{"1e-400", 0},
        ValCase{"1.7976931348623157e308", 1.7976931348623157e308}));

TEST(Val, NegativeZeroIsZero) {
    EXPECT_EQ(Val("-0"), 0.0);
    EXPECT_EQ(ToInt32(Val("-0")), 0);
}

TEST(ToInt32, TruncatesTowardZero) {
    EXPECT_EQ(ToInt32(3.99), 3);
    EXPECT_EQ(ToInt32(-3.99), -3);
    EXPECT_EQ(ToInt32(-0.5), 0);
    EXPECT_EQ(ToInt32(0.999999), 0);
}

TEST(ToInt32, ReducesModuloTwoToThe32) {
    EXPECT_EQ(ToInt32(2147483647.0), 2147483647);
    EXPECT_EQ(ToInt32(2147483648.0), -2147483647 - 1);
    EXPECT_EQ(ToInt32(4294967295.0), -1);
    EXPECT_EQ(ToInt32(4294967296.0), 0);
    EXPECT_EQ(ToInt32(4294967297.9), 1);
    EXPECT_EQ(ToInt32(-1.0), -1);
    EXPECT_EQ(ToInt32(-2147483648.0), -2147483647 - 1);
    EXPECT_EQ(ToInt32(-2147483649.0), 2147483647);
    EXPECT_EQ(ToInt32(-4294967297.0), -1);
    // 10^17 = 2^17 * 5^17 is exact in a double; 10^17 mod 2^32 = 1569325056.
    EXPECT_EQ(ToInt32(1e17), 1569325056);
    EXPECT_EQ(ToInt32(-1e17), -1569325056);
    // 2^64 + 4096 is exact; beyond 64 bits the residue is still exact.
    EXPECT_EQ(ToInt32(18446744073709555712.0), 4096);
    // 1e30 as a double is a multiple of 2^47 (its last mantissa bit is worth 2^47): residue 0.
    EXPECT_EQ(ToInt32(1e30), 0);
    EXPECT_EQ(ToInt32(std::numeric_limits<double>::max()), 0);
}

TEST(ToInt32, NonFiniteValuesGiveZero) {
    EXPECT_EQ(ToInt32(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(ToInt32(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(ToInt32(-std::numeric_limits<double>::infinity()), 0);
}

TEST(NumberAttribute, ConvertsTextToA32BitInteger) {
    EXPECT_EQ(NumberAttribute("4294967295"), -1);
    EXPECT_EQ(NumberAttribute("-1"), -1);
    EXPECT_EQ(NumberAttribute("2147483648"), -2147483647 - 1);
    EXPECT_EQ(NumberAttribute("1e30"), 0);
    EXPECT_EQ(NumberAttribute("1e17"), 1569325056);
    EXPECT_EQ(NumberAttribute(" 70000 units"), 70000);
    EXPECT_EQ(NumberAttribute("-2.9"), -2);
    EXPECT_EQ(NumberAttribute("1e400"), 0);
    EXPECT_EQ(NumberAttribute("none"), 0);
}

}  // namespace
}  // namespace xsc
