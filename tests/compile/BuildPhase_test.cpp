// What a compile into a fresh map writes, decoded from the compiled file and rendered for the
// golden file golden/BuildPhase.txt (XSC_UPDATE_GOLDEN=1 rewrites it from what the test renders
// now): the fresh map's slot count field as read (0xFFFF, sign-extended), the scenario's script
// fields, the node data header, every written slot (four fillers,
// the body, the begin call and name, the trailing filler) and the first slot behind them, the
// strings with their zeros and padding, and each script record.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "support/CompileFixture.h"

namespace xsc {
namespace {

using test::Bytes;
using test::Get16;
using test::Get32;

// A run of 8 or more equal bytes as {count*xx}; with `text`, printable ASCII as is; else \xNN.
std::string Shown(const Bytes& b, std::size_t from, std::size_t to, bool text) {
    std::string out;
    char hex[32];
    for (std::size_t at = from, run; at < to; at += run) {
        for (run = 1; at + run < to && b[at + run] == b[at];) ++run;
        if (run >= 8) {
            std::snprintf(hex, sizeof hex, "{%zu*%02x}", run, b[at]);
        } else {
            run = 1;
            std::snprintf(hex, sizeof hex, text && b[at] >= 0x20 && b[at] < 0x7F ? "%c" : "\\x%02x", b[at]);
        }
        out += hex;
    }
    return out;
}

std::string Render(const test::Compiled& c) {
    const mapgen::MapLayout& l = c.layout;
    const Bytes& b = c.after;
    const std::size_t x = static_cast<std::size_t>(l.scenarioOffset), node = static_cast<std::size_t>(l.nodeDataOffset);
    const std::size_t strings = static_cast<std::size_t>(l.stringDataOffset);
    const std::size_t records = Get32(b, x + 0x4A0) - static_cast<std::uint32_t>(l.magic);
    const std::uint32_t count = Get32(b, x + 0x49C);
    std::ostringstream out;
    out << c.script << "\nslot count field read " << c.state.SyntaxCount << ", growth " << c.summary.growth
        << ", string data size " << Get32(b, x + 0x488) << ", " << count << " records at string data + " << records - strings
        << "\nnode data header " << Shown(b, node + 0x2E, node + 0x38, false) << "\n";
    const int slots = static_cast<std::int16_t>(Get16(b, node + 0x2E)) + 1;
    for (int k = 0; k < slots; ++k) out << "slot " << k << " " << test::NodeAt(b, l, k) << "\n";
    out << "slot " << slots << (test::NodeAt(b, l, slots) == test::NodeAt(c.before, l, slots) ? " as before\n" : " written\n");
    out << "strings " << Shown(b, strings, records, true) << "\n";
    for (std::size_t r = records; r < records + 92 * count; r += 92) {
        out << "record " << Shown(b, r, r + 32, true) << " " << Shown(b, r + 32, r + 92, false) << "\n";
    }
    return out.str() + "\n";
}

TEST(BuildPhase, CompiledScriptDataMatchesTheGoldenFile) {
    const std::string scripts[] = {
        "<scripts/>",
        "<scripts><script NameAttr='main' TypeAttr='1' ReTypeAttr='4'><ScriptCommand Command='sleep' EngineId='22' "
        "ValueType='4'><ScriptValue ValueType='7' Value='30'/></ScriptCommand></script></scripts>",
        // The second script starts behind the first's trailing filler; an empty one's begin name
        // names its own call.
        "<scripts><a NameAttr='a'><ScriptValue ValueType='8' Value='1'/></a><b ReTypeAttr='3'/></scripts>",
        "<s><y NameAttr='" + std::string(31, 'n') + "'/></s>",  // the longest name, with its zero byte
    };
    std::string rendered;
    for (const std::string& script : scripts) {
        test::TempDir dir;
        rendered += Render(test::CompileInto(dir, test::SmallMap(), script));
    }
    test::ExpectGolden("compile/golden/BuildPhase.txt", rendered);
}

}  // namespace
}  // namespace xsc
