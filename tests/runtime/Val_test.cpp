// Number attributes: the longest leading decimal number of a text (Val), truncated toward zero
// and reduced modulo 2^32 to a signed 32-bit value (NumberAttribute), and the float a real stores
// (RealField). Each text of val/texts.txt and its three results are rendered for the golden file
// golden/Val.txt (XSC_UPDATE_GOLDEN=1 rewrites it).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "common/ValueEncoding.h"
#include "runtime/Val.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

TEST(Val, NumbersOfTextsMatchTheGoldenFile) {
    const std::filesystem::path folder = std::filesystem::path(__FILE__).parent_path();
    std::ifstream texts(folder / "val" / "texts.txt");
    std::string rendered;
    char numbers[64];
    for (std::string line; std::getline(texts, line);) {
        if (line.starts_with('#')) continue;
        std::string text = line;
        for (std::size_t at; (at = text.find("\\x")) != std::string::npos;) {
            text.replace(at, 4, 1, static_cast<char>(std::stoi(text.substr(at + 2, 2), nullptr, 16)));
        }
        std::snprintf(numbers, sizeof numbers, "] %.17g %d real 0x%08x\n", Val(text), NumberAttribute(text), RealField(text));
        rendered += "[" + line + numbers;
    }
    test::ExpectGolden("runtime/golden/Val.txt", rendered);
}

}  // namespace
}  // namespace xsc
