// Loading maps: both header paths, raw class codes and names, Magic, the lookups, and what a
// load leaves behind when it is cancelled, replaced or refused.

#include <gtest/gtest.h>

#include <functional>

#include "map/HaloMapTypes.h"
#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

using test::HandMap;
using test::HandTag;

HandMap ThreeTags() {
    HandMap m;
    m.tags = {HandTag{"rncsrncsrncs", 0xE1740000, "levels\\a10\\a10", -1, 0x40440100},
              HandTag{"mtibmtibmtib", 0xE1750001, "ui\\bitmap", -1, 0x40440200},
              HandTag{"paewejboejbo", 0xE1760002, "weapons\\pistol", -1, 0x40440300}};
    return m;
}

class MapLoading : public ::testing::Test {
protected:
    std::filesystem::path Write(const HandMap& m, const std::string& name = "a.map") {
        test::WriteBytes(dir / name, test::BuildHandMap(m));
        return dir / name;
    }
    test::TempDir dir;
};

TEST_F(MapLoading, HeaderCodeChoosesWhereTheIndexOffsetIs) {
    struct Case { const char* code; bool alternate; bool daeh; };
    for (const Case c : {Case{"daeh", false, true}, Case{"DaEh", false, true}, Case{"head", true, false}}) {
        HandMap m = ThreeTags();
        m.headerCode = c.code;
        m.alternateHeader = c.alternate;
        m.indexOffset = 0x700;
        HaloPcMap map;
        map.LoadMap(Write(m));
        EXPECT_EQ(map.HasDaehHeader(), c.daeh) << c.code;
        EXPECT_EQ(map.indexOffset, 0x700) << c.code;
        EXPECT_EQ(map.tagOffset, 0x728) << c.code;
        EXPECT_EQ(map.TagCache.at(1)->Name, "ui\\bitmap") << c.code;
    }
}

TEST_F(MapLoading, EntryFieldsAreRawBytesAndOffsetsUseWrappingMagic) {
    HandMap m = ThreeTags();
    m.tags[1].storedClasses = std::string("\xFF\xFF\xFF\xFF", 4) + std::string("\x01\x02\x03\x80", 4) + "abcd";
    m.tags[1].name = "\xC3\x28\xFF";  // not UTF-8
    m.tags[2].name = "";
    m.mapMagic = 0x10;  // below tagOffset: Magic is negative
    m.tags[2].dataAddress = static_cast<std::uint32_t>(0x900 + 0x10 - 0x828);
    HaloPcMap map;
    map.LoadMap(Write(m));
    EXPECT_EQ(map.Magic, 0x10 - 0x828);
    const Tag& t = *map.TagCache.at(1);
    EXPECT_EQ(t.Class1, std::string("\xFF\xFF\xFF\xFF", 4));
    EXPECT_EQ(t.Class2, std::string("\x80\x03\x02\x01", 4));
    EXPECT_EQ(t.Class3, "dcba");
    EXPECT_EQ(static_cast<std::uint32_t>(t.ident), 0xE1750001u);
    EXPECT_EQ(t.Name, "\xC3\x28\xFF");
    EXPECT_EQ(t.NameOffset, 0x828 + 3 * 32 + 15);  // behind the entries and the first name
    EXPECT_EQ(map.TagCache[2]->Name, "");
    EXPECT_EQ(map.TagCache[2]->Offset, 0x900);
    EXPECT_EQ(map.Scenario.get(), map.TagCache.front().get());
    EXPECT_EQ(map.TagByName.at(std::string("\xFF\xFF\xFF\xFF", 4) + ":\xC3\x28\xFF"), 1);
}

TEST_F(MapLoading, LaterDuplicatesWinInBothLookups) {
    HandMap m = ThreeTags();
    m.tags[2].storedClasses = m.tags[1].storedClasses;
    m.tags[2].name = m.tags[1].name;
    m.tags[2].ident = m.tags[0].ident;
    HaloPcMap map;
    map.LoadMap(Write(m));
    EXPECT_EQ(map.TagByName.at("bitm:ui\\bitmap"), 2);
    EXPECT_EQ(map.TagsByIdent.at(static_cast<std::int32_t>(0xE1740000)), 2);
    EXPECT_EQ(map.TagByName.size(), 2u);
    EXPECT_EQ(map.TagsByIdent.size(), 2u);
}

TEST_F(MapLoading, SecondLoadReplacesEverythingAndCancelOnlyEmptiesTheFile) {
    HaloPcMap map;
    map.LoadMap(std::nullopt);
    EXPECT_FALSE(map.f);
    EXPECT_TRUE(map.TagCache.empty());

    map.LoadMap(Write(ThreeTags(), "first.map"));
    HandMap other;
    other.indexOffset = 0x600;
    other.tags = {HandTag{"rncsrncsrncs", 7, "other", -1, 0}};
    map.LoadMap(Write(other, "second.map"));
    EXPECT_EQ(map.TagCount, 1);
    ASSERT_EQ(map.TagCache.size(), 1u);
    EXPECT_EQ(map.Scenario, map.TagCache[0]);
    EXPECT_EQ(map.Scenario->Name, "other");
    EXPECT_EQ(map.indexOffset, 0x600);
    EXPECT_EQ(map.TagByName.count("bitm:ui\\bitmap"), 0u);
    EXPECT_EQ(map.TagsByIdent.count(static_cast<std::int32_t>(0xE1740000)), 0u);

    map.LoadMap(std::nullopt);
    EXPECT_FALSE(map.f);
    EXPECT_EQ(map.Scenario->Name, "other");
    EXPECT_EQ(map.indexOffset, 0x600);
}

// A refused load names the problem, and leaves the object as it was.
TEST_F(MapLoading, DamagedMapsAreRefusedWithoutChangingTheLoadedMap) {
    struct BadMap {
        const char* message;
        std::function<void(const HandMap&, test::Bytes&)> damage;
    };
    const std::vector<BadMap> cases = {
        {"the index header lies outside the file", [](const HandMap&, test::Bytes& b) { test::Put32(b, 0x10, 0x7FFFFFF0); }},
        {"the index header lies outside the file", [](const HandMap&, test::Bytes& b) { test::Put32(b, 0x10, 0xFFFFFFF0); }},
        {"the map has no tags", [](const HandMap&, test::Bytes& b) { test::Put32(b, 0x80C, 0); }},
        {"the map has no tags", [](const HandMap&, test::Bytes& b) { test::Put32(b, 0x80C, 0xFFFFFFFF); }},
        {"runs past the end of the file", [](const HandMap&, test::Bytes& b) { test::Put32(b, 0x80C, 0x7FFFFFFF); }},
        {"the name of tag 0 lies outside the file", [](const HandMap&, test::Bytes& b) { test::Put32(b, 0x838, 0x7FFFFFFF); }},
        {"the name of tag 1 has no zero byte before the end of the file",
         [](const HandMap& m, test::Bytes& b) {
             test::Put32(b, 0x858, static_cast<std::uint32_t>(b.size() - 2 + test::HandMagic(m)));
             b[b.size() - 2] = 'x';
             b[b.size() - 1] = 'y';
         }},
        {"too short for a map header", [](const HandMap&, test::Bytes& b) { b.resize(3); }},
        {"the index offset field", [](const HandMap&, test::Bytes& b) { b.resize(0x12); }},
    };
    const auto good = Write(ThreeTags(), "good.map");
    for (const BadMap& c : cases) {
        const HandMap m = ThreeTags();
        test::Bytes bytes = test::BuildHandMap(m);
        c.damage(m, bytes);
        test::WriteBytes(dir / "bad.map", bytes);
        HaloPcMap map;
        map.LoadMap(good);
        try {
            map.LoadMap(dir / "bad.map");
            ADD_FAILURE() << c.message << ": loaded";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(map.f, good) << c.message;
        EXPECT_EQ(map.TagCache.size(), 3u) << c.message;
        EXPECT_EQ(map.Scenario->Name, "levels\\a10\\a10") << c.message;
    }
    HaloPcMap fresh;
    EXPECT_THROW(fresh.LoadMap(dir / "absent.map"), Error);
    EXPECT_FALSE(fresh.f);
}

TEST(MapTypes, ReverseAndTheMapFileType) {
    EXPECT_EQ(HaloPcMap::Reverse(""), "");
    EXPECT_EQ(HaloPcMap::Reverse("rncs"), "scnr");
    EXPECT_EQ(HaloPcMap::Reverse(std::string("\x00\xFF\x01", 3)), std::string("\x01\xFF\x00", 3));
    EXPECT_EQ(&HaloMapTypes::HaloMap(), &HaloMapTypes::HaloMap());
    EXPECT_EQ(HaloMapTypes::HaloMap().FilterText(), "Halo map (*.map)");
}

}  // namespace
}  // namespace xsc
