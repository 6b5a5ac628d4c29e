// The build a map's header names: the header kind chooses the engine field, the demo's header
// also needs its code; as `xsc info` describes it. Generated maps carry theirs (tests/map/MapGenerator_test.cpp).

#include <gtest/gtest.h>

#include <string>

#include "engine/MapEngine.h"

namespace xsc::engine {
namespace {

// A header of `size` bytes: the code at 0, then 32-bit values at chosen offsets.
std::string Header(std::string_view code, std::size_t size, std::vector<std::pair<std::size_t, std::uint32_t>> words,
                   std::string_view demoCode = "") {
    std::string h(size, '\x11');
    h.replace(0, code.size(), code);
    for (const auto& [at, value] : words) {
        for (int i = 0; i < 4; ++i) h[at + i] = static_cast<char>(value >> (8 * i));
    }
    if (!demoCode.empty()) h.replace(0x2C0, demoCode.size(), demoCode);
    return h;
}

TEST(MapEngine, TheHeaderKindChoosesTheEngineField) {
    const std::pair<std::string, std::string> cases[] = {
        {Header("daeh", 8, {{4, 7}}), "retail (engine value 7 at 0x4)"},
        {Header("DAEH", 0x58C, {{4, 609}, {0x588, 6}}, "Ehed"), "custom (engine value 609 at 0x4)"},
        {Header("daeh", 8, {{4, 6}}), "unknown (engine value 6 at 0x4)"},
        {Header("\x07\0\0\0", 0x58C, {{0x588, 6}}, "Ehed"), "demo (engine value 6 at 0x588)"},
        {Header("\x07\0\0\0", 0x58C, {{0x588, 6}}, "EHED"), "unknown (no \"Ehed\" at 0x2c0)"},
        {Header("head", 0x58C, {{0x588, 609}}, "Ehed"), "unknown (engine value 609 at 0x588)"},
        {Header("daeh", 7, {}), "unknown (the file ends before the engine field at 0x4)"},
        {Header("head", 0x58B, {{0x587, 6}}, "Ehed"), "unknown (the file ends before the engine field at 0x588)"},
        {Header("abcd", 0x100, {}), "unknown (no \"Ehed\" at 0x2c0)"},  // the file ends before the code
    };
    for (const auto& [header, described] : cases) EXPECT_EQ(DescribeMapEngine(DetectMapEngine(header)), described);
}

}  // namespace
}  // namespace xsc::engine
