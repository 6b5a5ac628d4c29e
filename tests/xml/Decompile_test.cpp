// Decompiling compiled maps: compiling the decompiled document into the map as it was before
// gives the same file, the document has one canonical form, and damaged script data ends in an
// error that names the script and slot. Golden files: xml/decompile/*.expected
// (XSC_UPDATE_GOLDEN=1 rewrites them).

#include <gtest/gtest.h>

#include <filesystem>

#include "xml/Decompile.h"
#include "map/HaloPcMap.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/ReadScriptData.h"
#include "support/CompileFixture.h"
#include "support/RandomScript.h"

namespace xsc {
namespace {

std::string DecompileFile(const std::filesystem::path& path) {
    HaloPcMap map;
    map.LoadMap(path);
    const MapNames names = MapNames::Read(map);
    const NameResolver resolver(names);
    return Decompile(ReadScriptData(map), &resolver);
}

// compile(M0, X) -> M1; decompile(M1) -> D; compile(M0, D) must give M1 (so D decompiled again
// is D), and compile(M1, D) must leave M1 as it is.
TEST(Decompile, CompilingTheDecompiledScriptGivesTheSameMap) {
    std::string documents;
    for (std::uint64_t seed = 1; seed <= 50; ++seed) {
        std::mt19937 rng(static_cast<unsigned>(seed + 1000));
        const test::RandomScript random = test::MakeRandomScript(rng);
        mapgen::MapOptions options = test::NamedMap(seed);
        options.daehHeader = seed % 2 == 0;
        options.mapMagic = seed % 3 == 0 ? 0x200 : static_cast<std::int32_t>(0x40440000 + 8 * seed);  // 0x200: Magic < 0
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + random.xml);

        test::TempDir first;
        const test::Compiled m1 = test::CompileInto(first, options, random.xml);
        const std::string decompiled = DecompileFile(first / "level.map");
        test::TempDir second;
        const test::Compiled again = test::CompileInto(second, options, decompiled);
        ASSERT_TRUE(again.after == m1.after) << decompiled;
        HaloPcMap compiled;
        compiled.LoadMap(first / "level.map");
        ScriptCompilier state;
        BuildScriptData(compiled, XmlDocument::LoadXml(decompiled), state);
        EXPECT_TRUE(test::ReadBytes(first / "level.map") == m1.after);
        documents += decompiled;
    }
    // The scripts reached every form that needs care.
    for (const char* form : {"&#9;", "&#10;", "&#13;", "&quot;", "&amp;", "&lt;", "&gt;", "\xF0\x9F\x98\x80", "Value=\"true\"",
                             "Value=\"false\"", "ValueType=\"65542\"", "ValueType=\"65544\"", "ValueType=\"-25536\"",
                             "NameAttr=\"\"", "<ScriptCall", "<GlobalReference", "ValueType=\"10\"", "Value=\"-7.5\"",
                             "Value=\"0.1\"", "ValueType=\"65546\""}) {
        EXPECT_NE(documents.find(form), std::string::npos) << form;
    }
}

// Each decompile/CASE.xml, compiled into a small map, decompiles to CASE.expected, and that
// document compiled into the map as it was gives the same file.
TEST(Decompile, EachCaseGivesItsExpectedDocument) {
    const std::filesystem::path folder = std::filesystem::path(__FILE__).parent_path() / "decompile";
    int cases = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".xml") continue;
        ++cases;
        test::TempDir dir, again;
        const test::Compiled compiled = test::CompileInto(dir, test::SmallMap(3), test::ReadText(entry.path()));
        const std::string document = DecompileFile(dir / "level.map");
        test::ExpectGolden("xml/decompile/" + entry.path().stem().string() + ".expected", document);
        EXPECT_TRUE(test::CompileInto(again, test::SmallMap(3), document).after == compiled.after) << entry.path();
    }
    EXPECT_EQ(cases, 3);
    test::TempDir dir;
    mapgen::WriteMap(dir / "fresh.map", test::SmallMap(4));
    test::ExpectGolden("xml/decompile/never-compiled.expected", DecompileFile(dir / "fresh.map"));
}

// Slots of the base script: 0-3 fillers, 4 call "print", 5 its name node, 6 value "hi", 7 short
// 5, 8 global "g", 9 begin call, 10 begin name, 11 trailing filler. Texts: "begin" at 0, "print"
// at 6, "hi" at 12, "g" at 15; 17 bytes, then 1024 zeros and 3 bytes of padding. Each row writes
// `size` bytes at `at`, byte k being byte k % 4 of `value` (little-endian); damaged.expected holds
// the error each row ends in.
TEST(Decompile, DamagedScriptDataEndsInAnErrorNamingScriptAndSlot) {
    const char* base =
        "<scripts><script NameAttr='main' TypeAttr='1' ReTypeAttr='4'>"
        "<ScriptCommand Command='print' EngineId='13' ValueType='4'>"
        "<ScriptValue ValueType='34' Value='hi'/><ScriptValue ValueType='7' Value='5'/></ScriptCommand>"
        "<GlobalValue ValueType='10' Value='3' ValueCommand='g'/>"
        "</script></scripts>";
    test::TempDir dir;
    const test::Compiled c = test::CompileInto(dir, test::SmallMap(5), base);
    const auto slot = [&](int k) { return static_cast<std::size_t>(c.layout.nodeDataOffset + 0x38 + 20 * k); };
    const auto text = [&](int at) { return static_cast<std::size_t>(c.layout.stringDataOffset + at); };
    const std::size_t record = text(17 + 1024 + 3);
    const struct {
        std::size_t at;
        std::size_t size;
        std::uint32_t value;
    } rows[] = {
        {slot(6) + 8, 2, 40},           // sibling slot beyond those in use
        {slot(6) + 10, 2, 0xE300},      // sibling identity of another slot
        {slot(7) + 8, 4, 0xE3790006},   // sibling back to slot 6: a cycle
        {slot(6) + 6, 2, 5},            // expression type 5
        {text(13), 1, 0xFF},            // a text that is not UTF-8
        {text(13), 1, 0x01},            // a character XML cannot carry
        {slot(6) + 2, 2, 3},            // a value's engine field other than its type
        {slot(7) + 18, 2, 0},           // a short's high half
        {slot(8) + 2, 2, 0},            // a global's engine field
        {slot(5) + 2, 2, 14},           // a name node's function number other than its call's
        {slot(8) + 12, 4, 12},          // string offsets out of order
        {record + 0x22, 2, 5},          // return type other than the root call's
        {record, 32, 0x78787878},       // a name of 32 bytes, "xxx..."
        {static_cast<std::size_t>(c.layout.nodeDataOffset + 0x2E), 2, 500},  // slot count field
        {static_cast<std::size_t>(c.layout.scenarioOffset + 0x488), 4, 0x100000},  // string data size
    };
    std::string errors;
    for (const auto& row : rows) {
        test::Bytes damaged = c.after;
        for (std::size_t k = 0; k < row.size; ++k) damaged.at(row.at + k) = static_cast<std::uint8_t>(row.value >> 8 * (k % 4));
        test::WriteBytes(dir / "damaged.map", damaged);
        try {
            errors += "decompiled: " + DecompileFile(dir / "damaged.map");
        } catch (const Error& e) {
            errors += std::string(e.subject() == Error::Subject::Map ? "" : "not a map error: ") + e.what() + "\n";
        }
    }
    test::ExpectGolden("xml/decompile/damaged.expected", errors);
}

// Tag 1's data right behind the string data, and a text of 6,800 "A"s whose words ("AAAA") are
// addresses into the moved data for this map's Magic: the compile's new strings grow far past
// tag 1's old data offset, and the fix-up must leave them alone.
TEST(Decompile, TheCompilesOwnTextIsNeverCorrected) {
    mapgen::MapOptions options = test::SmallMap(7);
    options.scenarioTailSize = 0;
    const mapgen::MapLayout plan = mapgen::PlanMap(options);
    const std::int32_t insertionPoint = plan.stringDataEnd;
    options.mapMagic = static_cast<std::int32_t>(0x41414141u - 64 - static_cast<std::uint32_t>(insertionPoint) +
                                                 static_cast<std::uint32_t>(plan.tagOffset));
    const std::string text(6800, 'A');
    const std::string script = "<s><a NameAttr='main' TypeAttr='0' ReTypeAttr='4'><ScriptCommand Command='print' "
                               "EngineId='28' ValueType='4'><ScriptValue ValueType='9' Value='" + text +
                               "'/></ScriptCommand></a></s>";
    test::TempDir dir;
    const test::Compiled c = test::CompileInto(dir, options, script);
    ASSERT_GT(c.layout.scanStart, 0);
    ASSERT_LT(c.layout.scanStart, insertionPoint + c.summary.growth);
    EXPECT_NE(DecompileFile(dir / "level.map").find("Value=\"" + text + "\""), std::string::npos);
}

}  // namespace
}  // namespace xsc
