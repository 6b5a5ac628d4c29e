// The engine as data: the tables parser's refusals, argument matching and conversions, each
// rendered for a golden file in golden/ (XSC_UPDATE_GOLDEN=1 rewrites them from what the test
// renders now), and the build a map's header names. The rows themselves are checked by what
// xsc check and xsc functions print (tests/cli).

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/ArgumentMatch.h"
#include "engine/EngineTables.h"
#include "engine/MapEngine.h"
#include "runtime/Error.h"
#include "support/TestFiles.h"

namespace xsc::engine {
namespace {

const EngineTables& Tables() { return EngineTables::BuiltIn(); }

void ExpectGolden(const std::string& name, const std::string& rendered) { test::ExpectGolden("engine/golden/" + name, rendered); }

TEST(EngineTables, MalformedRowsAreRefusedWithTheirTableAndLine) {
    const std::string functions = "# comment\nname\treturns\tparameters\tretail\tcustom\tdemo\n";
    const std::string globals = "name\ttype\tretail\tcustom\tdemo\n";
    const std::string values = "code\tname\n0\tpassthrough\n1\tvoid\n2\tshort\n3\tunit\n4\tvehicle\n5\tobject\n6\t"
                               "object_list\n7\treal\n8\tlong\n9\tweapon\n10\tdevice\n11\tscenery\n12\tobject_name\n";
    const std::string scripts = "code\tname\n0\tstartup\n";
    const EngineTableTexts cases[] = {
        {functions + "f\tvoid\tshort\t1\t2\n", globals, values, scripts},
        {functions + "f\tnumber\t-\t1\t2\t3\n", globals, values, scripts},
        {functions + "f\tvoid\t(short\t1\t2\t3\n", globals, values, scripts},
        {functions + "f\tvoid\t-\t1\t2\t3\nf\tvoid\t-\t1\t2\t3\n", globals, values, scripts},
        {functions + "f\tvoid\t-\t1\tx\t3\n", globals, values, scripts},
        {functions, globals + "g\tshort\tyes\tno\t-\n", values, scripts},
        {functions, globals + "g\tshort\tyes\t-\t-\ng\treal\tyes\t-\t-\n", values, scripts},
        {functions, globals, values, "code\tname\n1\tstartup\n"},
        {functions, "name\ttype\n", values, scripts},
        {functions + "f\tvoid\t(short real)... [long]\t1\t2\t3\n", globals + "g\tshort\tyes\t-\t-\ng\tshort\tyes\t-\t-\n",
         values, scripts},
    };
    std::string rendered;
    for (const EngineTableTexts& texts : cases) {
        try {
            const EngineTables t = EngineTables::Parse(texts);
            rendered += "accepted: " + std::to_string(t.Functions().size()) + " functions, " +
                        std::to_string(t.Globals().size()) + " globals, " + std::to_string(t.ValueTypes().size()) +
                        " value types\n";
        } catch (const Error& e) {
            rendered += std::string(e.what()) + "\n";
        }
    }
    ExpectGolden("malformed_rows.txt", rendered);
}

// Each row: the places of the arguments the function accepts in that count ("-": none), then
// the counts it accepts; last, the functions that one number names in a build.
TEST(ArgumentMatch, ArgumentsTakeRequiredThenOptionalThenRepeatedParameters) {
    const std::pair<const char*, std::size_t> calls[] = {
        {"sleep", 0},       {"sleep", 2},  {"sleep", 3},  {"sleep_until", 2}, {"sleep_until", 3},
        {"begin", 0},       {"+", 3},      {"cond", 4},   {"cond", 3},        {"sv_players", 1},
        {"print", 1},       {"sv_ban_penalty", 4}};
    std::string rendered;
    for (const auto& [name, count] : calls) {
        const EngineFunction& f = *Tables().FindFunction(name);
        rendered += std::string(name) + " " + std::to_string(count) + ":";
        const auto places = MatchArguments(f, count);
        if (!places) rendered += " -";
        for (const std::int32_t type : places.value_or(std::vector<std::int32_t>{})) {
            rendered.append(" ").append(Tables().ValueTypeName(type));
        }
        rendered += " (" + AcceptedArgumentCounts(f) + ")\n";
    }
    rendered += "demo 393:";  // two names of one function
    for (const EngineFunction* f : Tables().FunctionsNumbered(EngineBuild::Demo, 393)) rendered += " " + f->name;
    ExpectGolden("argument_match.txt", rendered + "\n");
}

TEST(EngineTables, ConversionsAreTheEnginesOnly) {
    const std::pair<const char*, const char*> conversions[] = {
        {"real", "short"},   {"short", "real"},     {"long", "short"},        {"short", "long"},
        {"short", "boolean"}, {"boolean", "void"},   {"passthrough", "unit"},  {"unit", "passthrough"},
        {"vehicle", "unit"}, {"unit", "vehicle"},   {"object_name", "object_list"}, {"scenery", "object"},
        {"unit_name", "unit"}, {"object_list", "object"}, {"string", "string"}};
    std::string rendered;
    for (const auto& [from, to] : conversions) {
        const bool can = Tables().CanConvert(*Tables().ValueTypeCode(from), *Tables().ValueTypeCode(to));
        rendered += std::string(from) + (can ? " -> " : " -/> ") + to + "\n";
    }
    ExpectGolden("conversions.txt", rendered);
}

// The build a map's header names, as `xsc info` describes it: the header kind chooses the engine
// field, the demo's header also needs its code. Generated maps carry theirs (MapGenerator_test).

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
        {Header("DAEH", 0x58C, {{4, 609}, {0x588, 6}}, "dehE"), "custom (engine value 609 at 0x4)"},
        {Header("daeh", 8, {{4, 6}}), "unknown (engine value 6 at 0x4)"},
        {Header("\x07\0\0\0", 0x58C, {{0x588, 6}}, "dehE"), "demo (engine value 6 at 0x588)"},
        // The trial stores its code Ehed reversed, as every four-character code: the bytes
        // "Ehed" themselves are no trial header.
        {Header("\x07\0\0\0", 0x58C, {{0x588, 6}}, "Ehed"), "unknown (no \"dehE\" at 0x2c0)"},
        {Header("\x07\0\0\0", 0x58C, {{0x588, 6}}, "EHED"), "unknown (no \"dehE\" at 0x2c0)"},
        {Header("head", 0x58C, {{0x588, 609}}, "dehE"), "unknown (engine value 609 at 0x588)"},
        {Header("daeh", 7, {}), "unknown (the file ends before the engine field at 0x4)"},
        {Header("head", 0x58B, {{0x587, 6}}, "dehE"), "unknown (the file ends before the engine field at 0x588)"},
        {Header("abcd", 0x100, {}), "unknown (no \"dehE\" at 0x2c0)"},  // the file ends before the code
    };
    for (const auto& [header, described] : cases) EXPECT_EQ(DescribeMapEngine(DetectMapEngine(header)), described);
}

}  // namespace
}  // namespace xsc::engine
