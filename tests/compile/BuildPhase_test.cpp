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

#include "compile/BuildPhase.h"
#include "runtime/Error.h"
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
    // The globals field keeps the fresh map's bytes unless the script has globals.
    const std::uint32_t globals = Get32(b, x + 0x4A8);
    if (Get32(b, x + 0x4A8) == Get32(c.before, x + 0x4A8) && Get32(b, x + 0x4AC) == Get32(c.before, x + 0x4AC)) {
        out << "globals field as before\n";
    } else {
        const std::size_t at = Get32(b, x + 0x4AC) - static_cast<std::uint32_t>(l.magic);
        out << globals << " globals at records + " << at - records << "\n";
        for (std::size_t r = at; r < at + 92 * globals; r += 92) {
            out << "global " << Shown(b, r, r + 32, true) << " " << Shown(b, r + 32, r + 92, false) << "\n";
        }
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
        // Globals: records behind the script records, initial values behind the scripts' slots
        // and texts, reads of a scenario global storing its index, of an engine global FF FF FF FF.
        "<scripts><ScenarioGlobal Name='g' ValueType='7'><ScriptValue ValueType='7' Value='5'/></ScenarioGlobal>"
        "<script NameAttr='main' TypeAttr='0' ReTypeAttr='4'><ScriptCommand Command='set' EngineId='4' ValueType='7'>"
        "<GlobalReference ValueType='7' ValueCommand='h'/><ScriptValue ValueType='7' Value='6'/></ScriptCommand></script>"
        "<scenarioglobal Name='h' ValueType='5'><GlobalReference ValueType='5' ValueCommand='rasterizer_fps'/></scenarioglobal>"
        "</scripts>",
        // A script element named so, as a document written before globals may name one, is a script.
        "<scripts><ScenarioGlobal NameAttr='old' TypeAttr='0' ReTypeAttr='4'/></scripts>",
    };
    std::string rendered;
    for (const std::string& script : scripts) {
        test::TempDir dir;
        rendered += Render(test::CompileInto(dir, test::SmallMap(), script));
    }
    test::ExpectGolden("compile/golden/BuildPhase.txt", rendered);
}

// The engine's tables hold 512 scripts, 128 globals and 262144 bytes of string data: a script
// needing more is refused, naming the first element too many; exactly as many compile.
TEST(BuildPhase, TheEnginesLimitsAreRefusedAtTheFirstElementTooMany) {
    const auto build = [](const std::string& children) {
        ScriptCompilier state;
        BuildPhase(state, XmlDocument::LoadXml("<s>\n" + children + "</s>"));
    };
    const auto repeated = [](int n, const std::string& element) {
        std::string out;
        for (int i = 0; i < n; ++i) out += element + "\n";
        return out;
    };
    const std::string script = "<script NameAttr='a'/>";
    const std::string global = "<ScenarioGlobal Name='g' ValueType='7'><ScriptValue ValueType='7' Value='1'/></ScenarioGlobal>";
    EXPECT_NO_THROW(build(repeated(512, script) + repeated(128, global)));
    const auto refusal = [&](const std::string& children) {
        try {
            build(children);
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(refusal(repeated(513, script)), "514:1: the 513th script: the game's engine holds at most 512 scripts");
    EXPECT_EQ(refusal(repeated(129, global)), "130:1: the 129th global: the game's engine holds at most 128 globals");
    // 6 bytes of "begin", 1024 zero bytes, and a text of 261114 bytes and its zero byte: one too many.
    const std::string text = "<script NameAttr='a'><ScriptValue ValueType='9' Value='" + std::string(261114, 'x') + "'/></script>";
    EXPECT_EQ(refusal(text), "1:1: the scripts' texts need 262145 bytes of string data (with its 1024 zero bytes); the game's "
                             "engine reads at most 262144");
    EXPECT_NO_THROW(build("<script NameAttr='a'><ScriptValue ValueType='9' Value='" + std::string(261113, 'x') + "'/></script>"));
}

}  // namespace
}  // namespace xsc
