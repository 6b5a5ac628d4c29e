// The synthetic map generator: its maps load with either header and with a negative Magic, the
// index and the tags decoded from the bytes lie where the plan says (every compile test reads the
// scenario's fields where it says), the header names the build asked for, the streamed file
// equals the map built in memory, and options that make no valid map are refused.

#include <gtest/gtest.h>

#include <cstring>

#include "engine/MapEngine.h"
#include "map/HaloPcMap.h"
#include "mapgen/MapGenerator.h"
#include "runtime/Error.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

using mapgen::MapOptions;
using test::Bytes;
using test::Get32;

// The index off a word boundary, tag data that ends in a partial word.
MapOptions OddMap() {
    return {.headSize = 4099, .tagCount = 9, .slotCapacity = 100, .tagDataSize = 64 * 1024 + 2, .scenarioTailSize = 1000};
}

TEST(MapGenerator, LoadsWithEitherHeaderAndFieldsWherePlanned) {
    // The alternate header with a negative Magic and the demo's engine value.
    for (const bool daeh : {true, false}) {
        SCOPED_TRACE(daeh);
        MapOptions options = OddMap();
        options.daehHeader = daeh;
        options.mapMagic = daeh ? 0x40440028 : 0x100;
        options.engineValue = daeh ? 609 : 6;
        const mapgen::MapLayout plan = mapgen::PlanMap(options);
        const Bytes bytes = mapgen::GenerateMap(options);
        test::TempDir dir;
        test::WriteBytes(dir / "m.map", bytes);
        HaloPcMap map;
        map.LoadMap(dir / "m.map");
        EXPECT_EQ(engine::DescribeMapEngine(engine::ReadMapEngine(dir / "m.map")),
                  daeh ? "custom (engine value 609 at 0x4)" : "demo (engine value 6 at 0x588)");

        const std::int32_t index = 2048 + 4099, magic = options.mapMagic - (index + 40);
        EXPECT_EQ(std::memcmp(bytes.data(), daeh ? "daeh" : "\x07\0\0\0", 4), 0);
        // The trial's code Ehed as the game stores it, reversed.
        if (!daeh) {
            EXPECT_EQ(std::memcmp(bytes.data() + 0x2C0, "dehE", 4), 0);
        }
        EXPECT_EQ(Get32(bytes, daeh ? 0x10 : 0x5EC), static_cast<std::uint32_t>(index));
        EXPECT_NE(Get32(bytes, daeh ? 0x5EC : 0x10), static_cast<std::uint32_t>(index));  // only one slot
        EXPECT_EQ(map.Magic, magic);
        EXPECT_EQ(plan.magic, magic);
        EXPECT_EQ(static_cast<std::int64_t>(bytes.size()), plan.fileLength);
        ASSERT_EQ(map.TagCache.size(), 9u);
        for (std::size_t i = 0; i < 9; ++i) {
            EXPECT_EQ(map.TagCache[i]->Offset, plan.tagDataOffsets[i]) << i;
            EXPECT_EQ(map.TagCache[i]->Name, plan.tagNames[i]) << i;
            EXPECT_EQ(static_cast<std::uint32_t>(map.TagCache[i]->ident), plan.tagIdents[i]) << i;
        }
    }
}

// Sizes that cross the 4 MB output blocks at odd places.
TEST(MapGenerator, WriteMapStreamsTheBytesGenerateMapBuilds) {
    MapOptions options = OddMap();
    options.headSize = 5'000'001;
    options.tagDataSize = 3'000'003;
    test::TempDir dir;
    mapgen::WriteMap(dir / "streamed.map", options);
    EXPECT_TRUE(test::ReadBytes(dir / "streamed.map") == mapgen::GenerateMap(options));
}

TEST(MapGenerator, RefusesOptionsThatMakeNoValidMap) {
    const struct { const char* what; void (*change)(MapOptions&); } cases[] = {
        {"no tags", [](MapOptions& o) { o.tagCount = 0; }},
        {"more tags than idents", [](MapOptions& o) { o.tagCount = 65536; }},
        {"negative head", [](MapOptions& o) { o.headSize = -1; }},
        {"negative tag data", [](MapOptions& o) { o.tagDataSize = -4; }},
        {"negative slots", [](MapOptions& o) { o.slotCapacity = -1; }},
        {"tag data without a tag for it", [](MapOptions& o) { o.tagCount = 1; }},
        {"past 2^31 - 1 bytes", [](MapOptions& o) { o.headSize = 0x7FFFFFFF - 2048 - 40; }},
        {"daeh header with another code", [](MapOptions& o) { o.headerCode = "head"; }},
        {"names without room for their tags", [](MapOptions& o) { o.names = true; o.tagCount = 16; }},
        {"names without room for their tag data", [](MapOptions& o) { o.names = true; o.tagCount = 20; o.tagDataSize = 2000; }},
        {"names without room for the cutscene blocks", [](MapOptions& o) { o.names = true; o.tagCount = 20; o.scenarioTailSize = 800; }},
        {"names and the other scenario blocks", [](MapOptions& o) { o.names = true; o.tagCount = 20; o.scenarioBlocks = true; }},
    };
    for (const auto& c : cases) {
        MapOptions options = OddMap();
        c.change(options);
        EXPECT_THROW(mapgen::PlanMap(options), Error) << c.what;
    }
    MapOptions names = OddMap();
    names.names = true;
    names.tagCount = 17;  // the named tags alone: the last takes the rest of the tag data
    EXPECT_EQ(mapgen::PlanMap(names).tagDataSizes.back(), 64 * 1024 + 2 - 2576 + 64);
}

}  // namespace
}  // namespace xsc
