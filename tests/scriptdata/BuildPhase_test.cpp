// What a compile writes, decoded from the compiled file and compared with values worked out by
// hand from the format: fillers, begin nodes, the node data header, strings, padding, records,
// the moved tail and the corrected fields.

#include <gtest/gtest.h>

#include "CompileOracle.h"
#include "runtime/XmlDocument.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

using test::Get16;
using test::Get32;
using test::IdentityOf;
using test::Node;
using test::NodeAt;

constexpr std::uint16_t kNone = 0xFFFF;

class BuildLayout : public ::testing::Test {
protected:
    test::TempDir dir;
};

TEST_F(BuildLayout, EmptyDocument) {
    const test::Compiled c = test::CompileInto(dir, test::SmallMap(), "<scripts/>");
    const auto& l = c.layout;
    const std::size_t x = static_cast<std::size_t>(l.scenarioOffset);
    const std::size_t table = static_cast<std::size_t>(l.stringDataOffset);
    const std::size_t node = static_cast<std::size_t>(l.nodeDataOffset);
    EXPECT_EQ(c.after.size(), c.before.size() + 8);  // G = L 6 + padding 2
    EXPECT_EQ(Get32(c.after, x + 0x488), 1030u);
    EXPECT_EQ(Get32(c.after, x + 0x49C), 0u);
    EXPECT_EQ(Get32(c.after, x + 0x4A0), static_cast<std::uint32_t>(l.stringDataOffset + 1032 + l.magic));
    EXPECT_EQ(Get16(c.after, node + 0x2E), 0xFFFF);  // slots - 1
    EXPECT_EQ(Get16(c.after, node + 0x30), 0);
    EXPECT_EQ(Get16(c.after, node + 0x32), 0xE372);
    EXPECT_EQ(Get32(c.after, node + 0x34), 0u);
    EXPECT_EQ(NodeAt(c.after, l, 0), NodeAt(c.before, l, 0));  // no slot written
    const test::Bytes strings(c.after.begin() + static_cast<std::ptrdiff_t>(table),
                              c.after.begin() + static_cast<std::ptrdiff_t>(table + 1032));
    test::Bytes expected = {'b', 'e', 'g', 'i', 'n', 0};
    expected.resize(1030, 0);
    expected.insert(expected.end(), {0xFF, 0xFF});
    EXPECT_EQ(strings, expected);
}

TEST_F(BuildLayout, OneScriptWithThreeBodyNodes) {
    const test::Compiled c = test::CompileInto(dir, test::SmallMap(),
        "<scripts><script NameAttr='main' TypeAttr='1' ReTypeAttr='4'>"
        "<ScriptCommand Command='sleep' EngineId='22' ValueType='4'>"
        "<ScriptValue ValueType='7' Value='30'/></ScriptCommand></script></scripts>");
    const auto& l = c.layout;
    // Slots: 0-3 fillers, 4-6 body (call, name, value), 7 begin call, 8 begin name, 9 trailing.
    const std::vector<Node> expected = {
        {0, kNone, 1, 0, kNone, kNone, 0, 1, IdentityOf(1)},
        {0, kNone, 0, 1, 2, IdentityOf(2), 0, 0, 0},
        {0, kNone, 0, 1, 3, IdentityOf(3), 0, 0, 0},
        {0, kNone, 0, 1, 4, IdentityOf(4), 0, 0, 0},
        {IdentityOf(4), 22, 4, 8, kNone, kNone, 6, 5, IdentityOf(5)},
        {IdentityOf(5), 22, 2, 9, 6, IdentityOf(6), 6, 0, 0},
        {IdentityOf(6), 7, 7, 9, kNone, kNone, 12, 30, kNone},
        {IdentityOf(7), 0, 4, 8, kNone, kNone, 0, 8, IdentityOf(8)},
        {IdentityOf(8), 0, 2, 9, 4, IdentityOf(4), 0, 0, 0},
        {0, 0, 2, 1, 4, IdentityOf(5), 0xFFFFFFFF, 0, 0},  // RealSyn - 1; first body identity + 1
    };
    for (int k = 0; k < 10; ++k) EXPECT_EQ(NodeAt(c.after, l, k), expected[static_cast<std::size_t>(k)]) << "slot " << k;
    EXPECT_EQ(NodeAt(c.after, l, 10), NodeAt(c.before, l, 10));

    const std::size_t node = static_cast<std::size_t>(l.nodeDataOffset);
    EXPECT_EQ(Get16(c.after, node + 0x2E), 9);
    EXPECT_EQ(Get16(c.after, node + 0x30), 5);
    EXPECT_EQ(Get16(c.after, node + 0x32), IdentityOf(9));
    EXPECT_EQ(c.summary.growth, 92 + 12);  // L = "begin\0sleep\0", no padding
    const test::Bytes records = test::RecordsIn(c.after, l, 12, 1);
    test::Bytes record(92, 0);
    for (int i = 0; i < 4; ++i) record[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>("main"[i]);
    record[0x20] = 1;
    record[0x22] = 4;
    test::Put32(record, 0x24, 7u | (static_cast<std::uint32_t>(IdentityOf(7)) << 16));
    EXPECT_EQ(records, record);
    EXPECT_EQ(Get32(c.after, static_cast<std::size_t>(l.scenarioOffset) + 0x4A0),
              static_cast<std::uint32_t>(l.stringDataOffset + 1024 + 12 + l.magic));
}

TEST_F(BuildLayout, SecondScriptStartsBehindTheFirstsTrailingFillerAndEmptyScriptsPointAtThemselves) {
    const test::Compiled c = test::CompileInto(dir, test::SmallMap(),
        "<scripts><a NameAttr='a'><ScriptValue ValueType='8' Value='1'/></a><b ReTypeAttr='3'/></scripts>");
    const auto& l = c.layout;
    // a: 0-3 fillers, 4 value, 5 call, 6 name, 7 trailing. b: 8-11 fillers, 12 call, 13 name, 14.
    EXPECT_EQ(NodeAt(c.after, l, 8), (Node{0, kNone, 1, 0, kNone, kNone, 0, 9, IdentityOf(9)}));
    EXPECT_EQ(NodeAt(c.after, l, 12), (Node{IdentityOf(12), 0, 3, 8, kNone, kNone, 0, 13, IdentityOf(13)}));
    EXPECT_EQ(NodeAt(c.after, l, 13), (Node{IdentityOf(13), 0, 2, 9, 12, IdentityOf(12), 0, 0, 0}));
    EXPECT_EQ(NodeAt(c.after, l, 14), (Node{0, 0, 2, 1, 4, IdentityOf(13), 0xFFFFFFFF, 0, 0}));
    const test::Bytes records = test::RecordsIn(c.after, l, 6, 2);
    EXPECT_EQ(Get16(records, 0x24), 5);
    EXPECT_EQ(test::Bytes(records.begin() + 92, records.begin() + 92 + 0x22), test::Bytes(0x22, 0));  // b: no name, type 0
    EXPECT_EQ(Get16(records, 92 + 0x24), 12);
    EXPECT_EQ(c.summary.growth, 2 * 92 + 6 + 2);
}

TEST_F(BuildLayout, LongestNameFitsWithItsZeroByte) {
    const std::string name31(31, 'n');
    const test::Compiled c = test::CompileInto(dir, test::SmallMap(), "<s><y NameAttr='" + name31 + "'/></s>");
    const test::Bytes records = test::RecordsIn(c.after, c.layout, 6, 1);
    EXPECT_EQ(std::string(records.begin(), records.begin() + 32), name31 + '\0');
}

TEST_F(BuildLayout, MovesTheTailAndCorrectsAddressesBehindTheInsertionPoint) {
    for (std::int32_t mapMagic : {0x40440028, 0x100}) {
        mapgen::MapOptions options = test::SmallMap(3);
        options.mapMagic = mapMagic;
        const test::Compiled c =
            test::CompileInto(dir, options, "<s><m NameAttr='m'><ScriptCommand Command='print' ValueType='4'/></m></s>");
        const auto& l = c.layout;
        const auto g = static_cast<std::uint32_t>(c.summary.growth);
        const std::size_t x = static_cast<std::size_t>(l.scenarioOffset);
        EXPECT_EQ(Get32(c.after, x + 0x5A8), Get32(c.before, x + 0x5A8) + g);
        for (int i = 0; i < l.tagCount; ++i) {  // the scenario's data stays; every other tag's moved
            const std::size_t e = static_cast<std::size_t>(l.tagOffset) + 32 * i + 0x14;
            EXPECT_EQ(Get32(c.after, e), Get32(c.before, e) + (i == 0 ? 0 : g)) << i;
        }
        const robust::Verdict verdict = robust::JudgeCompiled(c.before, c.after, XmlDocument::LoadXml(c.script), c.state,
                                                              c.summary.growth);
        EXPECT_FALSE(verdict.Violated()) << "MapMagic " << mapMagic << ": " << verdict.message;
        EXPECT_GT(c.summary.wordsCorrected, 10u);
    }
}

TEST_F(BuildLayout, OutputFileMatchesInPlaceAndLeavesTheMapAlone) {
    const std::string script = "<s><m NameAttr='m'><ScriptValue ValueType='5' Value='TRUE'/></m></s>";
    const test::Compiled inPlace = test::CompileInto(dir, test::SmallMap(5), script);
    test::TempDir other;
    CompileOptions options;
    options.output = other / "out.map";
    const test::Compiled copy = test::CompileInto(other, test::SmallMap(5), script, options);
    EXPECT_EQ(copy.after, inPlace.after);
    EXPECT_EQ(test::ReadBytes(other / "level.map"), copy.before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(other.Path()), {}), 2);  // no temporary left
}

}  // namespace
}  // namespace xsc
