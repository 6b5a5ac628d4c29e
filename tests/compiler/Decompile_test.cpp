// Decompiling compiled maps: compiling the decompiled document into the map as it was before
// gives the same file, the document has one canonical form, and damaged script data ends in an
// error that names the script and slot.

#include <gtest/gtest.h>

#include <functional>

#include "compiler/Decompile.h"
#include "map/HaloPcMap.h"
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
    return Decompile(ReadScriptData(map));
}

std::string DecompileMap(const test::Compiled& c) {
    test::TempDir dir;
    test::WriteBytes(dir / "level.map", c.after);
    return DecompileFile(dir / "level.map");
}

// compile(M0, X) -> M1; decompile(M1) -> D; compile(M0, D) must give M1, and D decompiled again;
// compile(M1, D) must leave M1 as it is.
TEST(Decompile, CompilingTheDecompiledScriptGivesTheSameMap) {
    std::string documents;
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(static_cast<unsigned>(seed + 1000));
        const test::RandomScript random = test::MakeRandomScript(rng);
        mapgen::MapOptions options = test::SmallMap(seed);
        options.daehHeader = seed % 2 == 0;
        options.mapMagic = seed % 3 == 0 ? 0x200 : static_cast<std::int32_t>(0x40440000 + 8 * seed);  // 0x200: Magic < 0
        SCOPED_TRACE("seed " + std::to_string(seed) + ": " + random.xml);

        test::TempDir first;
        const test::Compiled m1 = test::CompileInto(first, options, random.xml);
        const std::string decompiled = DecompileFile(first / "level.map");
        test::TempDir second;
        const test::Compiled again = test::CompileInto(second, options, decompiled);
        ASSERT_TRUE(again.after == m1.after) << decompiled;
        EXPECT_EQ(DecompileFile(second / "level.map"), decompiled);
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
                             "NameAttr=\"\""}) {
        EXPECT_NE(documents.find(form), std::string::npos) << form;
    }
}

TEST(Decompile, WritesEveryAttributeInOneCanonicalForm) {
    const char* script =
        "<scripts><x NameAttr='t&#9;\xC3\xA9' TypeAttr='65537' ReTypeAttr='-1'>"
        "<scriptcommand Command='a\"&lt;b' EngineId='70000' ValueType='-1'>"
        "<ScriptValue ValueType='5' Value='TRUE' ExpType='1'/>"
        "<ScriptValue ValueType='6' Value='-2.75'/>"
        "<ScriptValue ValueType='6' Value='2147483647'/>"
        "<ScriptValue ValueType='7' Value='32768'/>"
        "<ScriptValue ValueType='65542' Value='line&#10;feed&#13;'/>"
        "<GlobalValue ValueType='5' Value='-255' ValueCommand='g'/>"
        "<GlobalValue ValueType='8' Value='4294967295' ValueCommand='dropped'/>"
        "<ScriptCommand Command='' EngineId='1' ValueType='0'/>"
        "</scriptcommand>"
        "<GlobalValue ValueType='9' Value='3' ValueCommand='&amp;&gt;'/>"
        "</x><y NameAttr='empty'/></scripts>";
    const char* expected =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<scripts>\n"
        "  <script NameAttr=\"t&#9;\xC3\xA9\" TypeAttr=\"1\" ReTypeAttr=\"-1\">\n"
        "    <ScriptCommand Command=\"a&quot;&lt;b\" EngineId=\"4464\" ValueType=\"-1\">\n"
        "      <ScriptValue ValueType=\"5\" ExpType=\"9\" Value=\"true\"/>\n"
        "      <ScriptValue ValueType=\"6\" ExpType=\"9\" Value=\"-2\"/>\n"
        "      <ScriptValue ValueType=\"6\" ExpType=\"9\" Value=\"2147483647\"/>\n"
        "      <ScriptValue ValueType=\"7\" ExpType=\"9\" Value=\"-32768\"/>\n"
        "      <ScriptValue ValueType=\"65542\" ExpType=\"9\" Value=\"line&#10;feed&#13;\"/>\n"
        "      <GlobalValue ValueType=\"5\" ExpType=\"13\" Value=\"-255\" ValueCommand=\"g\"/>\n"
        "      <GlobalValue ValueType=\"8\" ExpType=\"13\" Value=\"-1\" ValueCommand=\"\"/>\n"
        "      <ScriptCommand Command=\"\" EngineId=\"1\" ValueType=\"0\"/>\n"
        "    </ScriptCommand>\n"
        "    <GlobalValue ValueType=\"9\" ExpType=\"13\" Value=\"3\" ValueCommand=\"&amp;&gt;\"/>\n"
        "  </script>\n"
        "  <script NameAttr=\"empty\" TypeAttr=\"0\" ReTypeAttr=\"0\"/>\n"
        "</scripts>\n";
    test::TempDir dir;
    const test::Compiled compiled = test::CompileInto(dir, test::SmallMap(3), script);
    EXPECT_EQ(DecompileMap(compiled), expected);
    test::TempDir again;
    EXPECT_TRUE(test::CompileInto(again, test::SmallMap(3), expected).after == compiled.after);
}

TEST(Decompile, AMapWithoutCompiledScriptsGivesAnEmptyDocument) {
    test::TempDir dir;
    mapgen::WriteMap(dir / "fresh.map", test::SmallMap(4));
    EXPECT_EQ(DecompileFile(dir / "fresh.map"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<!-- The map holds no compiled scripts: its string data is the 1024 zero bytes of a map never compiled into. -->\n"
              "<scripts/>\n");
    // Compiled from an empty document, it holds "begin" but no script.
    EXPECT_EQ(DecompileMap(test::CompileInto(dir, test::SmallMap(4), "<scripts/>")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<scripts/>\n");
}

// Slots of the base script: 0-3 fillers, 4 call "print", 5 its name node, 6 value "hi", 7 short
// 5, 8 global "g", 9 begin call, 10 begin name, 11 trailing filler. Texts: "begin" at 0, "print"
// at 6, "hi" at 12, "g" at 15; 17 bytes, then 1024 zeros and 3 bytes of padding.
TEST(Decompile, DamagedScriptDataEndsInAnErrorNamingScriptAndSlot) {
    const char* base =
        "<scripts><script NameAttr='main' TypeAttr='1' ReTypeAttr='4'>"
        "<ScriptCommand Command='print' EngineId='13' ValueType='4'>"
        "<ScriptValue ValueType='10' Value='hi'/><ScriptValue ValueType='7' Value='5'/></ScriptCommand>"
        "<GlobalValue ValueType='10' Value='3' ValueCommand='g'/>"
        "</script></scripts>";
    test::TempDir dir;
    const test::Compiled c = test::CompileInto(dir, test::SmallMap(5), base);
    const auto& l = c.layout;
    const auto slot = [&](int k) { return static_cast<std::size_t>(l.nodeDataOffset + 0x38 + 20 * k); };
    const auto text = [&](int at) { return static_cast<std::size_t>(l.stringDataOffset + at); };
    const std::size_t record = text(17 + 1024 + 3);
    const auto put16 = [](test::Bytes& b, std::size_t at, std::uint16_t v) {
        b.at(at) = static_cast<std::uint8_t>(v);
        b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
    };
    const std::string main = "script \"main\" (record 0), ";
    const struct {
        std::function<void(test::Bytes&)> damage;
        std::string error;
    } cases[] = {
        {[&](test::Bytes& b) { put16(b, slot(6) + 8, 40); },
         main + "slot 6: its sibling names slot 40, but only slots 0 to 11 are in use"},
        {[&](test::Bytes& b) { put16(b, slot(6) + 10, 0xE300); },
         main + "slot 6: its sibling names slot 7 with identity 0xe300, but that slot holds identity 0xe37a"},
        {[&](test::Bytes& b) { test::Put32(b, slot(7) + 8, 0xE3790006); },
         main + "slot 7: its sibling names slot 6, which the walk has already reached: a cycle, or a node that two "
                "expressions share"},
        {[&](test::Bytes& b) { put16(b, slot(6) + 6, 5); },
         main + "slot 6: a node of kind 5, which the language cannot express (8 call, 9 value, 13 global)"},
        {[&](test::Bytes& b) { b.at(text(13)) = 0xFF; },
         main + "slot 6: its value text is not UTF-8 (byte 0xff at byte 1 cannot start a character)"},
        {[&](test::Bytes& b) { b.at(text(13)) = 0x01; },
         main + "slot 6: its value text holds U+0001 at byte 1, a character XML 1.0 cannot carry"},
        {[&](test::Bytes& b) { put16(b, slot(6) + 2, 3); },
         main + "slot 6: a value node with function number 3 beside value type 10; a compile writes the value type in both"},
        {[&](test::Bytes& b) { put16(b, slot(7) + 18, 0); },
         main + "slot 7: value type 7 with the value bytes 05 00 00 00 and no text: no Value the language reads gives these"},
        {[&](test::Bytes& b) { put16(b, slot(8) + 2, 0); },
         main + "slot 8: a global node with function number 0; a compile writes -1 there"},
        {[&](test::Bytes& b) { put16(b, slot(5) + 2, 14); },
         main + "slot 5: the function name node holds function 14 and string offset 6, its call 13 and 6; a compile "
                "writes the same in both"},
        {[&](test::Bytes& b) { test::Put32(b, slot(8) + 12, 12); },
         main + "slot 7: texts out of order: the next node (slot 8) names string offset 12, where a compile puts 15 (no "
                "text here) or 17 (behind its text at 15)"},
        {[&](test::Bytes& b) { put16(b, record + 0x22, 5); },
         main + "slot 9: the root call's value type 4 differs from the record's return type 5; a compile writes the "
                "return type in both"},
        {[&](test::Bytes& b) { std::fill_n(b.begin() + static_cast<std::ptrdiff_t>(record), 32, 'x'); },
         "script record 0: its name fills all 32 bytes of the name field; a compile leaves room for a zero byte behind it"},
        {[&](test::Bytes& b) { put16(b, static_cast<std::size_t>(l.nodeDataOffset + 0x2E), 500); },
         "the node data's slot count field says 501 slots are in use, but the node data has room for 200 (at file offset " +
             Hex(l.nodeDataOffset + 0x2E) + ")"},
        {[&](test::Bytes& b) { test::Put32(b, static_cast<std::size_t>(l.scenarioOffset + 0x488), 0x100000); },
         "the string data (1048576 bytes) lies outside the file, which is " + std::to_string(c.after.size()) +
             " bytes long (at file offset " + Hex(l.stringDataOffset) + ")"},
    };
    for (const auto& row : cases) {
        test::Bytes damaged = c.after;
        row.damage(damaged);
        test::WriteBytes(dir / "damaged.map", damaged);
        try {
            DecompileFile(dir / "damaged.map");
            ADD_FAILURE() << "decompiled: " << row.error;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), row.error);
            EXPECT_EQ(e.subject(), Error::Subject::Map);
        }
    }
}

}  // namespace
}  // namespace xsc
