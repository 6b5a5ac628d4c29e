// Reading the map's named things from damaged maps: every count, address and tag reference is
// checked against the data of the tag that holds it, the damage is said with where it lies, and a
// script that names nothing of the damaged block still compiles (maps from the generator with
// names, seed 11).

#include <gtest/gtest.h>

#include <functional>

#include "map/HaloPcMap.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/Error.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

using test::Bytes;

struct Damage {
    const char* what;
    const char* block;     // the block that cannot be read
    int valueType;         // a value naming something of it
    const char* name;
    const char* expected;  // part of the error
    std::function<void(Bytes&, const mapgen::MapLayout&)> damage;
};

std::size_t Scenario(const mapgen::MapLayout& layout, std::size_t field) { return static_cast<std::size_t>(layout.scenarioOffset) + field; }

// The file offset an address in the file designates.
std::size_t Target(const Bytes& b, const mapgen::MapLayout& layout, std::size_t at) {
    return static_cast<std::size_t>(static_cast<std::int64_t>(test::Get32(b, at)) - static_cast<std::uint32_t>(layout.magic));
}

const Damage kDamages[] = {
    {"a count beyond the scenario", "trigger_volumes", 11, "tv_bridge", "gives 2147483647 elements of 96 bytes",
     [](Bytes& b, const mapgen::MapLayout& l) { test::Put32(b, Scenario(l, 0x360), 0x7FFFFFFF); }},
    {"a negative count", "trigger_volumes", 11, "tv_bridge", "gives a negative count (-1)",
     [](Bytes& b, const mapgen::MapLayout& l) { test::Put32(b, Scenario(l, 0x360), 0xFFFFFFFF); }},
    {"an address before the file", "cutscene_camera_points", 13, "point_2", "not all inside the scenario's data",
     [](Bytes& b, const mapgen::MapLayout& l) { test::Put32(b, Scenario(l, 0x4F0 + 4), 0); }},
    {"an address in the next tag's data", "cutscene_titles", 14, "title_place", "not all inside the scenario's data",
     [](Bytes& b, const mapgen::MapLayout& l) {
         test::Put32(b, Scenario(l, 0x4FC + 4), static_cast<std::uint32_t>(l.tagDataOffsets[1]) + static_cast<std::uint32_t>(l.magic));
     }},
    {"an encounter's squads outside", "encounters", 17, "enc_wave_1", "encounter 0's squads (+0x80)",
     [](Bytes& b, const mapgen::MapLayout& l) { test::Put32(b, Target(b, l, Scenario(l, 0x42C + 4)) + 0x80 + 4, 0x10); }},
    {"a placement block outside", "object_names", 41, "puzzle_door", "the scenario's controls (scnr+0x2ac)",
     [](Bytes& b, const mapgen::MapLayout& l) { test::Put32(b, Scenario(l, 0x2AC), 100000); }},
    {"a hud message text ID no tag has", "hud_message_text_messages", 22, "puzzle_solved", "holds tag ID 0x12345678, which no tag",
     [](Bytes& b, const mapgen::MapLayout& l) { test::Put32(b, Scenario(l, 0x594 + 12), 0x12345678); }},
    {"a hud message text ID of a sound", "hud_message_text_messages", 22, "puzzle_solved", "a snd! tag, not hmt",
     [](Bytes& b, const mapgen::MapLayout& l) { test::Put32(b, Scenario(l, 0x594 + 12), l.tagIdents[4]); }},
    {"the messages' count", "hud_message_text_messages", 22, "puzzle_solved", "gives a negative count (-5)",
     [](Bytes& b, const mapgen::MapLayout& l) { test::Put32(b, static_cast<std::size_t>(l.tagDataOffsets[1]) + 0x20, static_cast<std::uint32_t>(-5)); }},
    {"the globals' interface bitmaps", "hud_globals_waypoint_arrows", 21, "flag_blue", "the interface bitmaps of \"globals\\globals\"",
     [](Bytes& b, const mapgen::MapLayout& l) { test::Put32(b, static_cast<std::size_t>(l.tagDataOffsets[2]) + 0x140, 1000); }},
    {"the hud globals reference", "hud_globals_waypoint_arrows", 21, "flag_blue", "which no tag of the index has",
     [](Bytes& b, const mapgen::MapLayout& l) { test::Put32(b, static_cast<std::size_t>(l.tagDataOffsets[2]) + 0x150 + 0x60 + 12, 7); }},
};

TEST(MapNames, DamagedBlocksEndInClearErrors) {
    test::TempDir dir;
    const auto path = dir / "level.map";
    const mapgen::MapLayout layout = mapgen::WriteMap(path, test::NamedMap(11));
    const Bytes good = test::ReadBytes(path);
    for (const Damage& d : kDamages) {
        SCOPED_TRACE(d.what);
        Bytes bad = good;
        d.damage(bad, layout);
        test::WriteBytes(path, bad);
        HaloPcMap map;
        map.LoadMap(path);
        const MapNames names = MapNames::Read(map);
        const NamedBlock* block = names.Block(d.block);
        ASSERT_NE(block, nullptr);
        EXPECT_NE(block->error.find(d.expected), std::string::npos) << block->error;
        const ResolvedName resolved = NameResolver(names).Resolve(d.valueType, d.name);
        EXPECT_FALSE(resolved.value);
        EXPECT_EQ(resolved.error.rfind("cannot look up the ", 0), 0u) << resolved.error;
        // The other kinds are read as before.
        const ResolvedName other = NameResolver(names).Resolve(d.valueType == 11 ? 16 : 11, d.valueType == 11 ? "door_group" : "tv_bridge");
        EXPECT_EQ(other.value, d.valueType == 11 ? 0u : 1u) << other.error;
    }
}

// The generator's maps without names hold filler where the scenario's block fields lie: reading
// them says what is wrong and never goes astray, and scripts that name nothing compile as before.
TEST(MapNames, FillerFieldsAreNoNames) {
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        test::TempDir dir;
        mapgen::WriteMap(dir / "level.map", test::SmallMap(seed));
        HaloPcMap map;
        map.LoadMap(dir / "level.map");
        const MapNames names = MapNames::Read(map);
        ASSERT_NE(names.Block("encounters"), nullptr);
        const ResolvedName resolved = NameResolver(names).Resolve(17, "enc");
        EXPECT_FALSE(resolved.value);
        EXPECT_FALSE(resolved.error.empty());
    }
}

}  // namespace
}  // namespace xsc
