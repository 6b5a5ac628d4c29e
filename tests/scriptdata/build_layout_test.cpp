// What a compile writes, decoded from the compiled file and compared with values worked out by
// hand from the format: fillers, begin nodes, the node data header, strings, padding, records,
// the moved tail and the corrected fields.

#include <gtest/gtest.h>

#include "support/CompileFixture.h"

namespace xsc {
namespace {

using test::Get32;
using test::IdentityOf;
using test::NodeAt;

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

    EXPECT_EQ(c.summary.stringBytes, 6);
    EXPECT_EQ(c.summary.growth, 8);
    EXPECT_EQ(c.summary.scripts, 0);
    EXPECT_EQ(c.after.size(), c.before.size() + 8);
    EXPECT_EQ(Get32(c.after, x + 0x488), 1030u);
    EXPECT_EQ(Get32(c.after, x + 0x49C), 0u);
    EXPECT_EQ(Get32(c.after, x + 0x4A0), static_cast<std::uint32_t>(l.stringDataOffset + 1032 + l.magic));
    EXPECT_EQ(test::Get16(c.after, node + 0x2E), 0xFFFF);  // slot count - 1 = -1
    EXPECT_EQ(test::Get16(c.after, node + 0x30), 0);
    EXPECT_EQ(test::Get16(c.after, node + 0x32), 0xE372);
    EXPECT_EQ(Get32(c.after, node + 0x34), 0u);
    // No slot is written: slot 0 keeps the generator's bytes.
    for (std::size_t i = node + 0x38; i < node + 0x38 + 20; ++i) EXPECT_EQ(c.after[i], c.before[i]);

    const std::string begin(c.after.begin() + static_cast<std::ptrdiff_t>(table),
                            c.after.begin() + static_cast<std::ptrdiff_t>(table + 6));
    EXPECT_EQ(begin, std::string("begin\0", 6));
    for (std::size_t i = table + 6; i < table + 1030; ++i) ASSERT_EQ(c.after[i], 0) << i;
    EXPECT_EQ(c.after[table + 1030], 0xFF);
    EXPECT_EQ(c.after[table + 1031], 0xFF);
}

TEST_F(BuildLayout, OneScriptWithThreeBodyNodes) {
    const std::string script =
        "<scripts><script NameAttr='main' TypeAttr='1' ReTypeAttr='4'>"
        "<ScriptCommand Command='sleep' EngineId='22' ValueType='4'>"
        "<ScriptValue ValueType='7' Value='30'/></ScriptCommand></script></scripts>";
    const test::Compiled c = test::CompileInto(dir, test::SmallMap(), script);
    const auto& l = c.layout;
    // Slots: 0-3 fillers, 4-6 body (call, name, value), 7 begin call, 8 begin name, 9 trailing.
    const test::Node f0 = NodeAt(c.after, l, 0);
    EXPECT_EQ(f0.identity, 0);
    EXPECT_EQ(f0.engine, 0xFFFF);
    EXPECT_EQ(f0.valueType, 1);
    EXPECT_EQ(f0.expType, 0);
    EXPECT_EQ(f0.sibIndex, 0xFFFF);
    EXPECT_EQ(f0.sibIdentity, 0xFFFF);
    EXPECT_EQ(f0.stringOffset, 0u);
    EXPECT_EQ(f0.low, 1);
    EXPECT_EQ(f0.high, IdentityOf(1));
    for (int k = 1; k <= 3; ++k) {
        const test::Node f = NodeAt(c.after, l, k);
        EXPECT_EQ(f.identity, 0) << k;
        EXPECT_EQ(f.engine, 0xFFFF) << k;
        EXPECT_EQ(f.valueType, 0) << k;
        EXPECT_EQ(f.expType, 1) << k;
        EXPECT_EQ(f.sibIndex, k + 1) << k;
        EXPECT_EQ(f.sibIdentity, IdentityOf(k + 1)) << k;
        EXPECT_EQ(f.stringOffset, 0u) << k;
        EXPECT_EQ(f.value(), 0u) << k;
    }
    const test::Node call = NodeAt(c.after, l, 7);
    EXPECT_EQ(call.identity, IdentityOf(7));
    EXPECT_EQ(call.engine, 0);
    EXPECT_EQ(call.valueType, 4);
    EXPECT_EQ(call.expType, 8);
    EXPECT_EQ(call.sibIndex, 0xFFFF);
    EXPECT_EQ(call.sibIdentity, 0xFFFF);
    EXPECT_EQ(call.stringOffset, 0u);
    EXPECT_EQ(call.low, 8);
    EXPECT_EQ(call.high, IdentityOf(8));
    const test::Node name = NodeAt(c.after, l, 8);
    EXPECT_EQ(name.identity, IdentityOf(8));
    EXPECT_EQ(name.valueType, 2);
    EXPECT_EQ(name.expType, 9);
    EXPECT_EQ(name.sibIndex, 4);
    EXPECT_EQ(name.sibIdentity, IdentityOf(4));
    EXPECT_EQ(name.value(), 0u);
    const test::Node trailing = NodeAt(c.after, l, 9);
    EXPECT_EQ(trailing.identity, 0);
    EXPECT_EQ(trailing.engine, 0);
    EXPECT_EQ(trailing.valueType, 2);
    EXPECT_EQ(trailing.expType, 1);
    EXPECT_EQ(trailing.sibIndex, 4);                    // RealSyn - 1 = (3 + 2) - 1
    EXPECT_EQ(trailing.sibIdentity, IdentityOf(4 + 1));  // first body identity + 1
    EXPECT_EQ(trailing.stringOffset, 0xFFFFFFFFu);
    EXPECT_EQ(trailing.value(), 0u);
    // Slot 10 is not written.
    const std::size_t slot10 = static_cast<std::size_t>(l.nodeDataOffset) + 0x38 + 200;
    for (std::size_t i = slot10; i < slot10 + 20; ++i) EXPECT_EQ(c.after[i], c.before[i]);

    const std::size_t node = static_cast<std::size_t>(l.nodeDataOffset);
    EXPECT_EQ(test::Get16(c.after, node + 0x2E), 9);
    EXPECT_EQ(test::Get16(c.after, node + 0x30), 5);
    EXPECT_EQ(test::Get16(c.after, node + 0x32), IdentityOf(9));

    // Strings: "begin", "sleep"; L = 12, no padding; G = 92 + 12.
    EXPECT_EQ(c.summary.stringBytes, 12);
    EXPECT_EQ(c.summary.growth, 104);
    const test::Bytes records = test::RecordsIn(c.after, l, 12, 1);
    EXPECT_EQ(std::string(records.begin(), records.begin() + 5), std::string("main\0", 5));
    for (int i = 5; i < 32; ++i) EXPECT_EQ(records[i], 0) << i;
    EXPECT_EQ(test::Get16(records, 0x20), 1);
    EXPECT_EQ(test::Get16(records, 0x22), 4);
    EXPECT_EQ(test::Get16(records, 0x24), 7);
    EXPECT_EQ(test::Get16(records, 0x26), IdentityOf(7));
    for (int i = 0x28; i < 92; ++i) EXPECT_EQ(records[i], 0) << i;
    EXPECT_EQ(Get32(c.after, static_cast<std::size_t>(l.scenarioOffset) + 0x4A0),
              static_cast<std::uint32_t>(l.stringDataOffset + 1024 + 12 + l.magic));
}

TEST_F(BuildLayout, SecondScriptStartsBehindTheFirstsTrailingFiller) {
    const std::string script =
        "<scripts><a NameAttr='a'><ScriptValue ValueType='8' Value='1'/></a>"
        "<b NameAttr='b' ReTypeAttr='3'/></scripts>";
    const test::Compiled c = test::CompileInto(dir, test::SmallMap(), script);
    const auto& l = c.layout;
    // Script a: slots 0-3 fillers, 4 value, 5 call, 6 name, 7 trailing. Script b: 8-11 fillers,
    // no body, 12 call, 13 name (its sibling names the call itself), 14 trailing.
    const test::Node f8 = NodeAt(c.after, l, 8);
    EXPECT_EQ(f8.valueType, 1);
    EXPECT_EQ(f8.low, 9);
    EXPECT_EQ(f8.high, IdentityOf(9));
    EXPECT_EQ(NodeAt(c.after, l, 11).sibIndex, 12);
    const test::Node call = NodeAt(c.after, l, 12);
    EXPECT_EQ(call.identity, IdentityOf(12));
    EXPECT_EQ(call.valueType, 3);
    const test::Node name = NodeAt(c.after, l, 13);
    EXPECT_EQ(name.sibIndex, 12);
    EXPECT_EQ(name.sibIdentity, IdentityOf(12));
    const test::Node trailing = NodeAt(c.after, l, 14);
    EXPECT_EQ(trailing.sibIndex, 4);  // RealSyn after b's begin nodes: 1 + 2 + 2, minus 1
    EXPECT_EQ(trailing.sibIdentity, IdentityOf(13));
    EXPECT_EQ(test::Get16(c.after, static_cast<std::size_t>(l.nodeDataOffset) + 0x2E), 14);
    const test::Bytes records = test::RecordsIn(c.after, l, 6, 2);
    EXPECT_EQ(test::Get16(records, 0x24), 5);
    EXPECT_EQ(test::Get16(records, 92 + 0x24), 12);
    EXPECT_EQ(test::Get16(records, 92 + 0x22), 3);
    EXPECT_EQ(c.summary.growth, 2 * 92 + 6 + 2);
}

TEST_F(BuildLayout, AbsentAttributesAndLongestName) {
    const std::string name31(31, 'n');
    const test::Compiled c =
        test::CompileInto(dir, test::SmallMap(), "<s><x/><y NameAttr='" + name31 + "' TypeAttr='-2'/></s>");
    const test::Bytes records = test::RecordsIn(c.after, c.layout, 6, 2);
    for (int i = 0; i < 0x24; ++i) EXPECT_EQ(records[i], 0) << i;  // name, type, return type all 0
    EXPECT_EQ(std::string(records.begin() + 92, records.begin() + 92 + 31), name31);
    EXPECT_EQ(records[92 + 31], 0);
    EXPECT_EQ(test::Get16(records, 92 + 0x20), 0xFFFE);
}

TEST_F(BuildLayout, MovesTheTailAndCorrectsAddressesBehindTheInsertionPoint) {
    for (std::int32_t mapMagic : {0x40440028, 0x100}) {
        mapgen::MapOptions options = test::SmallMap(3);
        options.mapMagic = mapMagic;
        const test::Compiled c = test::CompileInto(
            dir, options, "<s><m NameAttr='m'><ScriptCommand Command='print' ValueType='4'/></m></s>");
        const auto& l = c.layout;
        const std::int32_t g = c.summary.growth;
        const std::size_t x = static_cast<std::size_t>(l.scenarioOffset);
        EXPECT_EQ(Get32(c.after, x + 0x5A8), Get32(c.before, x + 0x5A8) + static_cast<std::uint32_t>(g));
        // Scenario entry unchanged; every other entry's data address moved with its data.
        const std::size_t e0 = static_cast<std::size_t>(l.tagOffset) + 0x14;
        EXPECT_EQ(Get32(c.after, e0), Get32(c.before, e0));
        for (int i = 1; i < l.tagCount; ++i) {
            const std::size_t e = static_cast<std::size_t>(l.tagOffset) + 32 * i + 0x14;
            EXPECT_EQ(Get32(c.after, e), Get32(c.before, e) + static_cast<std::uint32_t>(g)) << i;
        }
        const test::Bytes model = test::ModelWrite(c.before, l, c.state, test::RecordsIn(c.after, l, c.summary.stringBytes, 1), 1);
        ASSERT_EQ(c.after.size(), model.size());
        EXPECT_TRUE(c.after == model) << "MapMagic " << mapMagic;
        EXPECT_GT(c.summary.wordsCorrected, 10u);
        EXPECT_EQ(c.summary.indexAddressesCorrected, static_cast<std::size_t>(l.tagCount - 1));
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
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(other.Path())) ++files;
    EXPECT_EQ(files, 2u);  // level.map and out.map: no temporary file left
}

}  // namespace
}  // namespace xsc
