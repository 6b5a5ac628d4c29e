// Number attributes: the longest leading decimal number of a text (Val), truncated toward zero
// and reduced modulo 2^32 to a signed 32-bit value (NumberAttribute). Each text's two results are
// rendered for the golden file golden/Val.txt (XSC_UPDATE_GOLDEN=1 rewrites it).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "runtime/Val.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

TEST(Val, NumbersOfTextsMatchTheGoldenFile) {
    const char* texts[] = {
        // Leading whitespace, then the sign directly before the number.
        "007", "  \t\n\r-3.25", "+5", "- 7", "+-1",
        // A point needs a digit on one side; an exponent needs a digit.
        "5.", "-.5", ".", ".e1", "1.e2", "2.5E-1", "1E+3", "1e", "1e-x",
        // The number ends where the grammar does: no separators, hex, infinities or NaN.
        "12abc", "1,000", "1.2.3", "0x10", "", "inf", "nan",
        // Too large for a double: 0. The largest double is a multiple of 2^32.
        "1e400", "-1e400", "1.7976931348623157e308",
        // Modulo 2^32, toward zero; exact beyond 64 bits (1e30 as a double is a multiple of 2^47).
        "2147483648", "4294967295", "4294967297.9", "-2147483649", "-4294967297", "-0.9", "1e17", "-1e17",
        "18446744073709555712", "1e30"};
    std::string rendered;
    char line[160];
    for (const char* text : texts) {
        rendered += '[';
        for (const char* c = text; *c != 0; ++c) {
            std::snprintf(line, sizeof line, *c >= 0 && *c < 0x20 ? "\\x%02x" : "%c", *c);
            rendered += line;
        }
        std::snprintf(line, sizeof line, "] %.17g %d\n", Val(text), NumberAttribute(text));
        rendered += line;
    }
    const auto golden = std::filesystem::path(__FILE__).parent_path() / "golden" / "Val.txt";
    if (std::getenv("XSC_UPDATE_GOLDEN") != nullptr) test::WriteText(golden, rendered);
    const test::Bytes want = test::ReadBytes(golden);
    EXPECT_EQ(rendered, std::string(want.begin(), want.end()));
}

}  // namespace
}  // namespace xsc
