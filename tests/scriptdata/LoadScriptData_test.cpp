// Reading the scenario's script fields into the compiler state: addresses less Magic (negative
// here), the slot count field sign-extended; a field outside the file leaves the state alone.
// Whole compiles hold what the compile does with these to the reference (tests/robustness).

#include <gtest/gtest.h>

#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "scriptdata/LoadScriptData.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

TEST(LoadScriptData, SignExtendsTheSlotCountAndLeavesTheStateAloneOnFailure) {
    test::TempDir dir;
    const auto path = dir / "m.map";
    mapgen::MapOptions options = test::SmallMap();
    options.mapMagic = 0x20;
    const mapgen::MapLayout l = mapgen::WriteMap(path, options);
    test::Bytes b = test::ReadBytes(path);
    test::Put32(b, static_cast<std::size_t>(l.nodeDataOffset) + 0x2C, 0xFFFF0000);  // slot count field 0xFFFF
    test::WriteBytes(path, b);
    HaloPcMap map;
    map.LoadMap(path);
    ScriptCompilier state;
    LoadScriptData(map, state);
    EXPECT_EQ(state.SyntaxCount, -1);
    EXPECT_EQ(state.ScriptNode, l.nodeDataOffset + 36);
    EXPECT_EQ(state.ScriptTable, l.stringDataOffset);
    EXPECT_EQ(state.LengthIntoStrings, 0);

    test::Put32(b, static_cast<std::size_t>(l.scenarioOffset) + 0x480, 0x7FFFFFF0);  // node data far away
    test::WriteBytes(path, b);
    map.LoadMap(path);
    state.ScriptTable = 123;
    state.LengthIntoStrings = 77;
    EXPECT_THROW(LoadScriptData(map, state), Error);
    EXPECT_EQ(state.ScriptTable, 123);
    EXPECT_EQ(state.LengthIntoStrings, 77);
}

}  // namespace
}  // namespace xsc
