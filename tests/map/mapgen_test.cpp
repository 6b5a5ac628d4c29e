// The synthetic map generator: its maps load, every field lies where the plan says (decoded from
// the bytes with the format's own arithmetic, not the generator's), the file and memory outputs
// agree, and the bytes are fixed by the seed. Seeds are in the test names.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>

#include "map/HaloPcMap.h"
#include "mapgen/MapGenerator.h"
#include "mapgen/NumberText.h"
#include "runtime/Error.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

using mapgen::MapLayout;
using mapgen::MapOptions;
using test::Bytes;
using test::Get16;
using test::Get32;

MapOptions SmallMap(std::uint64_t seed) {
    MapOptions options;
    options.seed = seed;
    options.headSize = 4099;  // leaves the index off a word boundary
    options.tagCount = 9;
    options.slotCapacity = 100;
    options.tagDataSize = 64 * 1024 + 2;  // ends in a partial word
    options.scenarioTailSize = 1000;
    return options;
}

HaloPcMap Load(const Bytes& bytes, const test::TempDir& dir) {
    const auto path = dir / "generated.map";
    test::WriteBytes(path, bytes);
    HaloPcMap map;
    map.LoadMap(path);
    return map;
}

std::int64_t OffsetOf(std::uint32_t address, std::int32_t magic) {
    return static_cast<std::int32_t>(address - static_cast<std::uint32_t>(magic));
}

// Every tag entry as the loader reads it, against the plan and the ident rule (salt 0xE174 + i
// over index i).
void ExpectTagsAsPlanned(const HaloPcMap& map, const MapLayout& layout) {
    ASSERT_EQ(map.TagCount, layout.tagCount);
    ASSERT_EQ(map.TagCache.size(), static_cast<std::size_t>(layout.tagCount));
    EXPECT_EQ(map.Scenario, map.TagCache[0]);
    EXPECT_EQ(map.Scenario->Class1, "scnr");
    EXPECT_EQ(map.Scenario->Class2, std::string(4, '\xFF'));
    EXPECT_EQ(map.Scenario->Name, "levels\\test\\sample\\sample");
    for (std::size_t i = 0; i < map.TagCache.size(); ++i) {
        const Tag& tag = *map.TagCache[i];
        SCOPED_TRACE("tag " + std::to_string(i));
        EXPECT_EQ(tag.Offset, layout.tagDataOffsets[i]);
        EXPECT_EQ(tag.Name, layout.tagNames[i]);
        EXPECT_EQ(tag.Class1, layout.tagClasses[i]);
        EXPECT_EQ(static_cast<std::uint32_t>(tag.ident), ((0xE174u + i) << 16) | i);
        EXPECT_EQ(map.TagByName.at(tag.Class1 + ":" + tag.Name), static_cast<std::int32_t>(i));
    }
}

TEST(MapGenerator, Seed7DaehMapLoadsAsPlanned) {
    const MapOptions options = SmallMap(7);
    MapLayout layout;
    const Bytes bytes = mapgen::GenerateMap(options, &layout);
    test::TempDir dir;
    const HaloPcMap map = Load(bytes, dir);

    EXPECT_EQ(std::memcmp(bytes.data(), "daeh", 4), 0);
    EXPECT_EQ(map.indexOffset, 2048 + 4099);
    EXPECT_EQ(map.tagOffset, 2048 + 4099 + 40);
    EXPECT_EQ(map.Magic, 0x40440028 - (2048 + 4099 + 40));
    EXPECT_EQ(map.Magic, layout.magic);
    EXPECT_EQ(static_cast<std::int64_t>(bytes.size()), layout.fileLength);
    ExpectTagsAsPlanned(map, layout);
}

TEST(MapGenerator, Seed8AlternateHeaderAndNegativeMagicLoad) {
    MapOptions options = SmallMap(8);
    options.daehHeader = false;
    options.mapMagic = 0x100;  // below tagOffset: Magic is negative
    MapLayout layout;
    const Bytes bytes = mapgen::GenerateMap(options, &layout);
    test::TempDir dir;
    const HaloPcMap map = Load(bytes, dir);

    EXPECT_EQ(Get32(bytes, 0), 7u);  // the alternate code: version 7
    EXPECT_EQ(Get32(bytes, 0x5EC), static_cast<std::uint32_t>(layout.indexOffset));
    EXPECT_NE(Get32(bytes, 0x10), static_cast<std::uint32_t>(layout.indexOffset));
    EXPECT_EQ(map.Magic, 0x100 - (2048 + 4099 + 40));
    EXPECT_LT(map.Magic, 0);
    ExpectTagsAsPlanned(map, layout);

    // Upper case "DAEH" takes the 0x10 path too.
    options.daehHeader = true;
    options.headerCode = "DAEH";
    const Bytes upper = mapgen::GenerateMap(options, &layout);
    EXPECT_NE(Get32(upper, 0x5EC), static_cast<std::uint32_t>(layout.indexOffset));
    ExpectTagsAsPlanned(Load(upper, dir), layout);
}

TEST(MapGenerator, Seed9ScenarioScriptFieldsAsPlanned) {
    const MapOptions options = SmallMap(9);
    MapLayout layout;
    const Bytes bytes = mapgen::GenerateMap(options, &layout);
    const std::int32_t magic = layout.magic;
    const std::size_t scenario = static_cast<std::size_t>(layout.scenarioOffset);

    const std::uint32_t nodeDataSize = 56 + 20 * 100;
    EXPECT_EQ(Get32(bytes, scenario + 0x474), nodeDataSize);
    const std::int64_t nodeData = OffsetOf(Get32(bytes, scenario + 0x480), magic);
    EXPECT_EQ(nodeData, layout.nodeDataOffset);
    EXPECT_EQ(Get32(bytes, scenario + 0x488), 1024u);
    const std::int64_t strings = OffsetOf(Get32(bytes, scenario + 0x494), magic);
    EXPECT_EQ(strings, layout.stringDataOffset);
    EXPECT_EQ(strings, nodeData + nodeDataSize);
    EXPECT_EQ(layout.stringDataEnd, strings + 1024);
    EXPECT_EQ(Get32(bytes, scenario + 0x49C), 0u);
    EXPECT_EQ(OffsetOf(Get32(bytes, scenario + 0x4A0), magic), strings + 1024);
    // 0x5A8 points behind the string data, into the scenario's own tail.
    const std::int64_t behind = OffsetOf(Get32(bytes, scenario + 0x5A8), magic);
    EXPECT_GT(behind, strings + 1024);
    EXPECT_LT(behind, strings + 1024 + options.scenarioTailSize);

    // Node data: the slot count field says no slot is in use; every slot holds a non-zero pattern.
    EXPECT_EQ(static_cast<std::int16_t>(Get16(bytes, static_cast<std::size_t>(nodeData) + 0x2E)), -1);
    for (std::size_t k = 0; k < 100; ++k) {
        const std::size_t slot = static_cast<std::size_t>(nodeData) + 56 + 20 * k;
        EXPECT_EQ(Get32(bytes, slot + 16), 0xCDCDCDCDu) << "slot " << k;
    }
    const auto stringBytes = bytes.begin() + strings;
    EXPECT_TRUE(std::all_of(stringBytes, stringBytes + 1024, [](std::uint8_t b) { return b == 0; }));

    // The tag data follows the scenario, tag after tag, up to the end of the file.
    EXPECT_EQ(layout.scanStart, layout.tagDataOffsets[1]);
    EXPECT_GE(layout.scanStart, strings + 1024 + options.scenarioTailSize);
    for (std::size_t i = 1; i + 1 < layout.tagDataOffsets.size(); ++i) {
        EXPECT_EQ(layout.tagDataOffsets[i] % 4, 0);
        EXPECT_EQ(layout.tagDataOffsets[i + 1], layout.tagDataOffsets[i] + layout.tagDataSizes[i]);
    }
    EXPECT_EQ(std::accumulate(layout.tagDataSizes.begin() + 1, layout.tagDataSizes.end(), std::int64_t{0}),
              options.tagDataSize);
    EXPECT_EQ(layout.tagDataOffsets.back() + layout.tagDataSizes.back(), layout.fileLength);
}

// The tag data holds addresses before, at and behind the insertion point, and small floats.
TEST(MapGenerator, Seed10TagDataHoldsEveryKindOfAddress) {
    const MapOptions options = SmallMap(10);
    MapLayout layout;
    const Bytes bytes = mapgen::GenerateMap(options, &layout);
    int before = 0, at = 0, behind = 0, floats = 0;
    for (std::size_t p = static_cast<std::size_t>(layout.scanStart); p + 4 <= bytes.size(); p += 4) {
        const std::uint32_t word = Get32(bytes, p);
        const std::int64_t offset = OffsetOf(word, layout.magic);
        const float value = std::bit_cast<float>(word);
        if (offset == layout.stringDataEnd) ++at;
        if (offset >= layout.scenarioOffset && offset < layout.stringDataEnd) ++before;
        if (offset > layout.stringDataEnd && offset < layout.fileLength) ++behind;
        if (value >= 3.0f && value <= 23.0f && value * 16 == static_cast<float>(static_cast<int>(value * 16))) ++floats;
    }
    // About 16384 words, one in 16 of them special, a quarter of those of each kind.
    EXPECT_GT(before, 150);
    EXPECT_GT(at, 150);
    EXPECT_GT(behind, 150);
    EXPECT_GT(floats, 150);

    MapOptions none = options;
    none.addressEvery = 0;
    const Bytes plain = mapgen::GenerateMap(none, &layout);
    int plainAt = 0;
    for (std::size_t p = static_cast<std::size_t>(layout.scanStart); p + 4 <= plain.size(); p += 4) {
        plainAt += OffsetOf(Get32(plain, p), layout.magic) == layout.stringDataEnd;
    }
    EXPECT_EQ(plainAt, 0);
}

// Sizes that cross the 4 MB output blocks at odd places.
TEST(MapGenerator, Seed11FileEqualsMemoryAndSeedFixesBytes) {
    MapOptions options = SmallMap(11);
    options.headSize = 5'000'001;
    options.tagDataSize = 3'000'003;
    MapLayout memoryLayout;
    const Bytes memory = mapgen::GenerateMap(options, &memoryLayout);
    test::TempDir dir;
    const MapLayout fileLayout = mapgen::WriteMap(dir / "streamed.map", options);
    EXPECT_EQ(fileLayout.fileLength, memoryLayout.fileLength);
    EXPECT_EQ(fileLayout.tagDataOffsets, memoryLayout.tagDataOffsets);
    EXPECT_TRUE(test::ReadBytes(dir / "streamed.map") == memory);
    EXPECT_TRUE(mapgen::GenerateMap(options) == memory);

    options.seed = 12;
    const Bytes other = mapgen::GenerateMap(options);
    const std::size_t n = 4096;
    EXPECT_NE(std::memcmp(other.data() + 2048, memory.data() + 2048, n), 0) << "head";
    EXPECT_NE(std::memcmp(other.data() + other.size() - n, memory.data() + memory.size() - n, n), 0) << "tag data";
}

TEST(MapGenerator, RefusesOptionsThatMakeNoValidMap) {
    struct Case {
        const char* what;
        void (*change)(MapOptions&);
    };
    const Case cases[] = {
        {"no tags", [](MapOptions& o) { o.tagCount = 0; }},
        {"more tags than idents", [](MapOptions& o) { o.tagCount = 65536; }},
        {"negative head", [](MapOptions& o) { o.headSize = -1; }},
        {"negative tag data", [](MapOptions& o) { o.tagDataSize = -4; }},
        {"negative tail", [](MapOptions& o) { o.scenarioTailSize = -1; }},
        {"negative slots", [](MapOptions& o) { o.slotCapacity = -1; }},
        {"tag data without a tag for it", [](MapOptions& o) { o.tagCount = 1; }},
        {"past 2^31 - 1 bytes", [](MapOptions& o) { o.headSize = 0x7FFFFFFF - 2048 - 40; }},
        {"daeh header with another code", [](MapOptions& o) { o.headerCode = "head"; }},
        {"header code of 3 bytes", [](MapOptions& o) { o.headerCode = "dae"; }},
    };
    for (const Case& c : cases) {
        MapOptions options = SmallMap(1);
        c.change(options);
        EXPECT_THROW(mapgen::PlanMap(options), Error) << c.what;
    }
    MapOptions single = SmallMap(1);
    single.tagCount = 1;
    single.tagDataSize = 0;
    MapLayout layout;
    const Bytes bytes = mapgen::GenerateMap(single, &layout);
    EXPECT_EQ(layout.scanStart, layout.fileLength);
    test::TempDir dir;
    ExpectTagsAsPlanned(Load(bytes, dir), layout);
}

TEST(MapGeneratorNumbers, ByteCountsAndThirtyTwoBitValues) {
    EXPECT_EQ(mapgen::ParseByteCount("4096"), 4096);
    EXPECT_EQ(mapgen::ParseByteCount("64k"), 65536);
    EXPECT_EQ(mapgen::ParseByteCount("128M"), 134217728);
    EXPECT_EQ(mapgen::ParseByteCount("2G"), 2147483648);
    for (const char* bad : {"", "M", "-1", "12Q", "1.5M", "99999999999999999999"}) {
        EXPECT_THROW(mapgen::ParseByteCount(bad), Error) << bad;
    }
    EXPECT_EQ(mapgen::ParseInt32("-5"), -5);
    EXPECT_EQ(mapgen::ParseInt32("0x40440028"), 0x40440028);
    EXPECT_EQ(mapgen::ParseInt32("0xFFFFFFFF"), -1);
    for (const char* bad : {"", "0x", "0x123456789", "2147483648", "+-1", "12abc"}) {
        EXPECT_THROW(mapgen::ParseInt32(bad), Error) << bad;
    }
}

}  // namespace
}  // namespace xsc
