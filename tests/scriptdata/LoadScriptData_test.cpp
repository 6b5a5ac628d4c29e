// Reading the scenario's script fields into the compiler state, and RoundToMultiple.

#include <gtest/gtest.h>

#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "scriptdata/LoadScriptData.h"
#include "scriptdata/RoundToMultiple.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

TEST(LoadScriptData, ConvertsAddressesWithMagicAndSignExtendsTheSlotCount) {
    for (std::int32_t mapMagic : {0x40440028, 0x20}) {
        test::TempDir dir;
        mapgen::MapOptions options = test::SmallMap();
        options.mapMagic = mapMagic;
        const auto path = dir / "m.map";
        const mapgen::MapLayout l = mapgen::WriteMap(path, options);
        test::Bytes b = test::ReadBytes(path);
        const std::size_t x = static_cast<std::size_t>(l.scenarioOffset);
        test::Put32(b, static_cast<std::size_t>(l.nodeDataOffset) + 0x2C, 0xFFFF0000);  // slot count field 0xFFFF
        test::Put32(b, x + 0x488, 1030);
        test::WriteBytes(path, b);

        HaloPcMap map;
        map.LoadMap(path);
        ScriptCompilier state;
        LoadScriptData(map, state);
        const std::uint32_t nodeAddress = test::Get32(b, x + 0x480);
        EXPECT_EQ(state.ScriptNode, static_cast<std::int32_t>(nodeAddress - static_cast<std::uint32_t>(l.magic) + 36));
        EXPECT_EQ(state.ScriptNode, l.nodeDataOffset + 36);
        EXPECT_EQ(state.ScriptTable, l.stringDataOffset);
        EXPECT_EQ(state.ScriptTableSize, 1030);
        EXPECT_EQ(state.LengthIntoStrings, 6);
        EXPECT_EQ(state.SyntaxDataSize, 56 + 20 * 200);
        EXPECT_EQ(state.SyntaxCount, -1);
    }
}

TEST(LoadScriptData, FieldOutsideTheFileLeavesTheStateAlone) {
    test::TempDir dir;
    const auto path = dir / "m.map";
    const mapgen::MapLayout l = mapgen::WriteMap(path, test::SmallMap());
    test::Bytes b = test::ReadBytes(path);
    test::Put32(b, static_cast<std::size_t>(l.scenarioOffset) + 0x480, 0x7FFFFFF0);  // node data far away
    test::WriteBytes(path, b);
    HaloPcMap map;
    map.LoadMap(path);
    ScriptCompilier state;
    state.ScriptTable = 123;
    state.LengthIntoStrings = 77;
    EXPECT_THROW(LoadScriptData(map, state), Error);
    EXPECT_EQ(state.ScriptTable, 123);
    EXPECT_EQ(state.LengthIntoStrings, 77);
}

TEST(RoundToMultiple, RoundsTowardPositiveInfinity) {
    EXPECT_EQ(math::RoundToMultiple(5, 4), 8);
    EXPECT_EQ(math::RoundToMultiple(8, 4), 8);
    EXPECT_EQ(math::RoundToMultiple(0, 4), 0);
    EXPECT_EQ(math::RoundToMultiple(-5, 4), -4);
    EXPECT_EQ(math::RoundToMultiple(6, 4), 8);
    EXPECT_THROW(math::RoundToMultiple(1, 0), Error);
}

}  // namespace
}  // namespace xsc
