// The engine tables as compiled in (row counts and known rows), their parser's refusals, argument
// matching, conversions, and the build read from a map header.

#include <gtest/gtest.h>

#include <string>

#include "engine/ArgumentMatch.h"
#include "engine/EngineTables.h"
#include "engine/MapEngine.h"
#include "mapgen/MapGenerator.h"
#include "runtime/Error.h"
#include "support/TestFiles.h"

namespace xsc::engine {
namespace {

constexpr std::int32_t kAbsent = EngineFunction::kAbsent;

const EngineTables& Tables() { return EngineTables::BuiltIn(); }

std::int32_t Code(const char* type) { return *Tables().ValueTypeCode(type); }

TEST(EngineTables, BuiltInTablesHoldEveryRow) {
    EXPECT_EQ(Tables().Functions().size(), 531u);
    EXPECT_EQ(Tables().Globals().size(), 491u);  // 492 rows: "decals" is listed twice, alike
    EXPECT_EQ(Tables().ValueTypes().size(), 49u);
    EXPECT_EQ(Tables().ScriptTypes().size(), 5u);
    EXPECT_EQ(Tables().ValueTypeName(7), "short");
    EXPECT_EQ(Tables().ValueTypeName(48), "scenery_name");
    EXPECT_EQ(Tables().ScriptTypes()[2], "continuous");

    const struct {
        const char* name;
        std::array<std::int32_t, 3> numbers;  // retail, custom, demo
        const char* returns;
    } rows[] = {
        {"sv_players", {495, 496, 494}, "void"},
        {"sv_say", {kAbsent, 495, kAbsent}, "void"},
        {"print", {28, 28, 28}, "void"},
        {"cond", {EngineFunction::kNoNumber, EngineFunction::kNoNumber, EngineFunction::kNoNumber}, "passthrough"},
        {"sv_map_restart", {kAbsent, kAbsent, 492}, "void"},
        {"unit", {23, 23, 23}, "unit"},
    };
    for (const auto& row : rows) {
        const EngineFunction* f = Tables().FindFunction(row.name);
        ASSERT_NE(f, nullptr) << row.name;
        EXPECT_EQ(f->numbers, row.numbers) << row.name;
        EXPECT_EQ(f->returns, Code(row.returns)) << row.name;
    }
    const std::vector<const EngineFunction*> aliases = Tables().FunctionsNumbered(EngineBuild::Demo, 393);
    ASSERT_EQ(aliases.size(), 2u);
    EXPECT_EQ(aliases[0]->name, "player_effect_set_max_vibrate");
    EXPECT_EQ(aliases[1]->name, "player_effect_set_max_rumble");

    const EngineGlobal* global = Tables().FindGlobal("sv_tk_ban");
    ASSERT_NE(global, nullptr);
    EXPECT_EQ(global->type, Code("short"));
    EXPECT_EQ(global->in, (std::array<bool, 3>{true, true, false}));
}

TEST(EngineTables, MalformedRowsAreRefusedWithTheirTableAndLine) {
    const std::string functions = "# comment\nname\treturns\tparameters\tretail\tcustom\tdemo\n";
    const std::string globals = "name\ttype\tretail\tcustom\tdemo\n";
    const std::string values = "code\tname\n0\tpassthrough\n1\tvoid\n2\tshort\n3\tunit\n4\tvehicle\n5\tobject\n6\t"
                               "object_list\n7\treal\n8\tlong\n9\tweapon\n10\tdevice\n11\tscenery\n12\tobject_name\n";
    const std::string scripts = "code\tname\n0\tstartup\n";
    const struct {
        EngineTableTexts texts;
        const char* error;
    } cases[] = {
        {{functions + "f\tvoid\tshort\t1\t2\n", globals, values, scripts},
         "engine table functions.tsv, line 3: 5 cells, 6 expected"},
        {{functions + "f\tnumber\t-\t1\t2\t3\n", globals, values, scripts},
         "engine table functions.tsv, line 3: unknown value type \"number\""},
        {{functions + "f\tvoid\t(short\t1\t2\t3\n", globals, values, scripts},
         "engine table functions.tsv, line 3: a group must be written (a b)..."},
        {{functions + "f\tvoid\t-\t1\t2\t3\nf\tvoid\t-\t1\t2\t3\n", globals, values, scripts},
         "engine table functions.tsv, line 4: \"f\" is listed twice"},
        {{functions + "f\tvoid\t-\t1\tx\t3\n", globals, values, scripts},
         "engine table functions.tsv, line 3: \"x\" is not a number"},
        {{functions, globals + "g\tshort\tyes\tno\t-\n", values, scripts},
         "engine table globals.tsv, line 2: \"no\" is neither yes nor -"},
        {{functions, globals + "g\tshort\tyes\t-\t-\ng\treal\tyes\t-\t-\n", values, scripts},
         "engine table globals.tsv, line 3: \"g\" differs from its first row"},
        {{functions, globals, values, "code\tname\n1\tstartup\n"}, "engine table script-types.tsv, line 2: code 1 out of order"},
        {{functions, "name\ttype\n", values, scripts}, "engine table globals.tsv, line 1: the columns are not the expected ones"},
    };
    for (const auto& c : cases) {
        try {
            EngineTables::Parse(c.texts);
            ADD_FAILURE() << "accepted: " << c.error;
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
    }
    EXPECT_EQ(EngineTables::Parse({functions, globals, values, scripts}).ValueTypes().size(), 13u);
}

TEST(ArgumentMatch, ArgumentsTakeRequiredThenOptionalThenRepeatedParameters) {
    const std::int32_t b = Code("boolean"), p = Code("passthrough"), s = Code("short"), l = Code("long"),
                       r = Code("real"), st = Code("string"), sc = Code("script");
    using Places = std::optional<std::vector<std::int32_t>>;
    const struct {
        const char* function;
        std::size_t count;
        Places places;
        const char* accepted;
    } cases[] = {
        {"sleep", 0, std::nullopt, "1 or 2 arguments"},
        {"sleep", 2, std::vector{s, sc}, "1 or 2 arguments"},
        {"sleep", 3, std::nullopt, "1 or 2 arguments"},
        {"sleep_until", 2, std::vector{b, s}, "1 to 3 arguments"},
        {"sleep_until", 3, std::vector{b, s, l}, "1 to 3 arguments"},
        {"begin", 0, std::vector<std::int32_t>{}, "at least 0 arguments"},
        {"+", 3, std::vector{r, r, r}, "at least 0 arguments"},
        {"cond", 4, std::vector{b, p, b, p}, "0, 2, 4, ... arguments"},
        {"cond", 3, std::nullopt, "0, 2, 4, ... arguments"},
        {"sv_players", 1, std::nullopt, "no arguments"},
        {"print", 1, std::vector{st}, "1 argument"},
        {"sv_ban_penalty", 4, std::vector{st, st, st, st}, "0 to 4 arguments"},
    };
    for (const auto& c : cases) {
        const EngineFunction& f = *Tables().FindFunction(c.function);
        EXPECT_EQ(MatchArguments(f, c.count), c.places) << c.function << " " << c.count;
        EXPECT_EQ(AcceptedArgumentCounts(f), c.accepted) << c.function;
    }
}

TEST(EngineTables, ConversionsAreTheEnginesOnly) {
    const struct {
        const char* from;
        const char* to;
        bool allowed;
    } cases[] = {
        {"real", "short", true},      {"short", "real", true},          {"long", "short", true},
        {"short", "long", false},     {"short", "boolean", false},      {"boolean", "void", true},
        {"passthrough", "unit", true}, {"unit", "passthrough", false},   {"vehicle", "unit", true},
        {"unit", "vehicle", false},   {"object_name", "object_list", true}, {"scenery", "object", true},
        {"unit_name", "unit", false}, {"object_list", "object", false}, {"string", "string", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Tables().CanConvert(Code(c.from), Code(c.to)), c.allowed) << c.from << " -> " << c.to;
    }
}

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
    const std::optional<EngineBuild> unknown;
    const struct {
        const char* what;
        std::string header;
        std::optional<EngineBuild> build;
        std::int64_t field;
        std::optional<std::uint32_t> value;
    } cases[] = {
        {"retail", Header("daeh", 8, {{4, 7}}), EngineBuild::Retail, 4, 7},
        {"custom, upper case", Header("DAEH", 0x58C, {{4, 609}, {0x588, 6}}, "Ehed"), EngineBuild::Custom, 4, 609},
        {"daeh with the demo's value", Header("daeh", 8, {{4, 6}}), unknown, 4, 6},
        {"demo", Header("\x07\0\0\0", 0x58C, {{0x588, 6}}, "Ehed"), EngineBuild::Demo, 0x588, 6},
        {"demo code in another case", Header("\x07\0\0\0", 0x58C, {{0x588, 6}}, "EHED"), unknown, 0x588, 6},
        {"demo code, other value", Header("head", 0x58C, {{0x588, 609}}, "Ehed"), unknown, 0x588, 609},
        {"daeh, file ends in the field", Header("daeh", 7, {}), unknown, 4, std::nullopt},
        {"other header, file ends before the code", Header("abcd", 0x100, {}), unknown, 0x588, std::nullopt},
    };
    for (const auto& c : cases) {
        const MapEngine engine = DetectMapEngine(c.header);
        EXPECT_EQ(engine.build, c.build) << c.what;
        EXPECT_EQ(engine.field, c.field) << c.what;
        EXPECT_EQ(engine.value, c.value) << c.what;
    }
}

// The generator writes the engine fields where the detection reads them, in either header kind.
TEST(MapEngine, GeneratedMapsCarryTheirBuild) {
    test::TempDir dir;
    const struct {
        bool daeh;
        std::optional<std::uint32_t> value;
        const char* described;
    } cases[] = {
        {true, 609, "custom (engine value 609 at 0x4)"},
        {true, 7, "retail (engine value 7 at 0x4)"},
        {false, 6, "demo (engine value 6 at 0x588)"},
        {false, std::nullopt, "unknown (no \"Ehed\" at 0x2c0)"},
    };
    for (const auto& c : cases) {
        mapgen::MapOptions options{.seed = 3, .daehHeader = c.daeh, .headSize = 0, .tagCount = 2, .slotCapacity = 8,
                                   .tagDataSize = 256, .scenarioTailSize = 64};
        options.engineValue = c.value;
        mapgen::WriteMap(dir / "m.map", options);
        EXPECT_EQ(DescribeMapEngine(ReadMapEngine(dir / "m.map")), c.described);
    }
}

}  // namespace
}  // namespace xsc::engine
