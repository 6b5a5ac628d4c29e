// Loading maps: both header paths, class codes, names, Magic, the lookups, and what a load
// leaves behind when it is cancelled, replaced or refused.

#include <gtest/gtest.h>

#include <functional>

#include "support/TestFiles.h"
#include "map/HaloMapTypes.h"
#include "map/HaloPcMap.h"
#include "runtime/Error.h"

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
        const auto path = dir / name;
        test::WriteBytes(path, test::BuildHandMap(m));
        return path;
    }
    test::TempDir dir;
};

TEST_F(MapLoading, DaehHeaderReadsIndexOffsetAt0x10InAnyLetterCase) {
    for (const char* code : {"daeh", "DAEH", "DaEh"}) {
        HandMap m = ThreeTags();
        m.headerCode = code;
        HaloPcMap map;
        map.LoadMap(Write(m));
        EXPECT_EQ(map.indexOffset, 0x800) << code;
        EXPECT_EQ(map.tagOffset, 0x828) << code;
        EXPECT_EQ(map.TagCount, 3) << code;
        EXPECT_TRUE(map.HasDaehHeader()) << code;
    }
}

TEST_F(MapLoading, OtherHeaderCodesReadIndexOffsetAt0x5EC) {
    HandMap m = ThreeTags();
    m.headerCode = "head";  // not reversed: takes the alternate path
    m.alternateHeader = true;
    m.indexOffset = 0x700;
    HaloPcMap map;
    map.LoadMap(Write(m));
    EXPECT_FALSE(map.HasDaehHeader());
    EXPECT_EQ(map.indexOffset, 0x700);
    EXPECT_EQ(map.TagCache.at(1)->Name, "ui\\bitmap");
}

TEST_F(MapLoading, ReadsEveryEntryFieldAndComputesOffsetsWithMagic) {
    HaloPcMap map;
    map.LoadMap(Write(ThreeTags()));
    EXPECT_EQ(map.MapMagic, 0x40440028);
    EXPECT_EQ(map.Magic, 0x40440028 - 0x828);
    const Tag& t = *map.TagCache.at(2);
    EXPECT_EQ(t.Class1, "weap");
    EXPECT_EQ(t.Class2, "obje");
    EXPECT_EQ(t.Class3, "obje");
    EXPECT_EQ(static_cast<std::uint32_t>(t.ident), 0xE1760002u);
    EXPECT_EQ(t.Offset, 0x40440300 - map.Magic);
    // Names follow the 3 entries: 0x828 + 96 = 0x888; two names before this one.
    EXPECT_EQ(t.NameOffset, 0x888 + 15 + 10);
    EXPECT_EQ(t.Name, "weapons\\pistol");
    EXPECT_EQ(map.Scenario.get(), map.TagCache.front().get());
    EXPECT_EQ(map.f, dir / "a.map");
}

TEST_F(MapLoading, ClassCodesAndNamesAreRawBytes) {
    HandMap m = ThreeTags();
    m.tags[1].storedClasses = std::string("\xFF\xFF\xFF\xFF", 4) + std::string("\x01\x02\x03\x80", 4) + "abcd";
    m.tags[1].name = "\xC3\x28\xFF";  // not UTF-8
    m.tags[2].name = "";
    HaloPcMap map;
    map.LoadMap(Write(m));
    EXPECT_EQ(map.TagCache[1]->Class1, std::string("\xFF\xFF\xFF\xFF", 4));
    EXPECT_EQ(map.TagCache[1]->Class2, std::string("\x80\x03\x02\x01", 4));
    EXPECT_EQ(map.TagCache[1]->Class3, "dcba");
    EXPECT_EQ(map.TagCache[1]->Name, "\xC3\x28\xFF");
    EXPECT_EQ(map.TagCache[2]->Name, "");
    EXPECT_EQ(map.TagByName.at(std::string("\xFF\xFF\xFF\xFF", 4) + ":\xC3\x28\xFF"), 1);
}

TEST_F(MapLoading, MagicWrapsWhenMapMagicIsBelowTagOffset) {
    HandMap m = ThreeTags();
    m.mapMagic = 0x10;  // Magic = 0x10 - 0x828, negative
    for (auto& t : m.tags) t.dataAddress = 0x900 + 0x10 - 0x828;
    HaloPcMap map;
    map.LoadMap(Write(m));
    EXPECT_EQ(map.Magic, 0x10 - 0x828);
    EXPECT_EQ(map.TagCache[0]->Offset, 0x900);
    EXPECT_EQ(map.TagCache[0]->Name, "levels\\a10\\a10");
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

TEST_F(MapLoading, OneTagIsAlsoTheScenario) {
    HandMap m = ThreeTags();
    m.tags.resize(1);
    HaloPcMap map;
    map.LoadMap(Write(m));
    ASSERT_EQ(map.TagCache.size(), 1u);
    EXPECT_EQ(map.Scenario, map.TagCache[0]);
}

TEST_F(MapLoading, SecondLoadReplacesEverything) {
    HaloPcMap map;
    map.LoadMap(Write(ThreeTags(), "first.map"));
    HandMap other;
    other.indexOffset = 0x600;
    other.mapMagic = 0x50000000;
    other.tags = {HandTag{"rncsrncsrncs", 7, "other", -1, 0}};
    map.LoadMap(Write(other, "second.map"));
    EXPECT_EQ(map.TagCount, 1);
    EXPECT_EQ(map.TagCache.size(), 1u);
    EXPECT_EQ(map.indexOffset, 0x600);
    EXPECT_EQ(map.MapMagic, 0x50000000);
    EXPECT_EQ(map.Scenario->Name, "other");
    EXPECT_EQ(map.TagByName.count("bitm:ui\\bitmap"), 0u);
    EXPECT_EQ(map.TagsByIdent.count(static_cast<std::int32_t>(0xE1740000)), 0u);
    EXPECT_EQ(map.f, dir / "second.map");
}

TEST_F(MapLoading, LoadingTheSameFileTwiceGivesTheSameState) {
    const auto path = Write(ThreeTags());
    HaloPcMap a;
    HaloPcMap b;
    a.LoadMap(path);
    b.LoadMap(path);
    b.LoadMap(path);
    EXPECT_EQ(a.TagByName, b.TagByName);
    EXPECT_EQ(a.TagsByIdent, b.TagsByIdent);
    EXPECT_EQ(a.Magic, b.Magic);
    ASSERT_EQ(b.TagCache.size(), 3u);
    EXPECT_EQ(b.TagCache[2]->NameOffset, a.TagCache[2]->NameOffset);
}

TEST_F(MapLoading, CancelledChooserEmptiesFileAndKeepsTags) {
    HaloPcMap fresh;
    fresh.LoadMap(std::nullopt);
    EXPECT_FALSE(fresh.f);
    EXPECT_TRUE(fresh.TagCache.empty());
    EXPECT_FALSE(fresh.Scenario);

    HaloPcMap map;
    map.LoadMap(Write(ThreeTags()));
    map.LoadMap(std::nullopt);
    EXPECT_FALSE(map.f);
    EXPECT_EQ(map.TagCache.size(), 3u);
    EXPECT_EQ(map.Scenario->Name, "levels\\a10\\a10");
    EXPECT_EQ(map.tagOffset, 0x828);
}

// A refused load names the problem and the offset, and leaves the object as it was.
struct BadMap {
    const char* what;
    std::function<void(HandMap&, test::Bytes&)> damage;
    const char* message;
};

TEST_F(MapLoading, DamagedMapsAreRefusedWithoutChangingTheLoadedMap) {
    const std::vector<BadMap> cases = {
        {"index offset past the end", [](HandMap&, test::Bytes& b) { test::Put32(b, 0x10, 0x7FFFFFF0); },
         "the index header lies outside the file"},
        {"negative index offset", [](HandMap&, test::Bytes& b) { test::Put32(b, 0x10, 0xFFFFFFF0); },
         "the index header lies outside the file"},
        {"no tags", [](HandMap&, test::Bytes& b) { test::Put32(b, 0x80C, 0); }, "the map has no tags"},
        {"negative tag count", [](HandMap&, test::Bytes& b) { test::Put32(b, 0x80C, 0xFFFFFFFF); },
         "the map has no tags"},
        {"tag count past the end", [](HandMap&, test::Bytes& b) { test::Put32(b, 0x80C, 0x7FFFFFFF); },
         "runs past the end of the file"},
        {"name outside the file", [](HandMap& m, test::Bytes& b) { test::Put32(b, 0x828 + 0x10, 0x7FFFFFFF); (void)m; },
         "the name of tag 0 lies outside the file"},
        {"name without zero byte",
         [](HandMap& m, test::Bytes& b) {
             test::Put32(b, 0x828 + 32 + 0x10, static_cast<std::uint32_t>(b.size() - 2 + test::HandMagic(m)));
             b[b.size() - 2] = 'x';
             b[b.size() - 1] = 'y';
         },
         "the name of tag 1 has no zero byte before the end of the file"},
        {"shorter than a header", [](HandMap&, test::Bytes& b) { b.resize(3); }, "too short for a map header"},
        {"index offset field cut off", [](HandMap&, test::Bytes& b) { b.resize(0x12); }, "the index offset field"},
    };
    const auto goodPath = Write(ThreeTags(), "good.map");
    for (const BadMap& c : cases) {
        HandMap m = ThreeTags();
        test::Bytes bytes = test::BuildHandMap(m);
        c.damage(m, bytes);
        const auto path = dir / "bad.map";
        test::WriteBytes(path, bytes);

        HaloPcMap map;
        map.LoadMap(goodPath);
        try {
            map.LoadMap(path);
            ADD_FAILURE() << c.what << ": loaded";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": " << e.what();
            EXPECT_EQ(e.subject(), Error::Subject::Map) << c.what;
        }
        EXPECT_EQ(map.f, goodPath) << c.what;
        EXPECT_EQ(map.TagCount, 3) << c.what;
        EXPECT_EQ(map.TagCache.size(), 3u) << c.what;
        EXPECT_EQ(map.Scenario->Name, "levels\\a10\\a10") << c.what;
    }
}

TEST_F(MapLoading, MissingFileIsAnError) {
    HaloPcMap map;
    EXPECT_THROW(map.LoadMap(dir / "absent.map"), Error);
    EXPECT_FALSE(map.f);
}

TEST(Reverse, ReversesBytes) {
    EXPECT_EQ(HaloPcMap::Reverse(""), "");
    EXPECT_EQ(HaloPcMap::Reverse("a"), "a");
    EXPECT_EQ(HaloPcMap::Reverse("rncs"), "scnr");
    EXPECT_EQ(HaloPcMap::Reverse(std::string("\x00\xFF\x01", 3)), std::string("\x01\xFF\x00", 3));
}

TEST(HaloMapTypes, OneMapFileType) {
    const FileType& type = HaloMapTypes::HaloMap();
    EXPECT_EQ(&type, &HaloMapTypes::HaloMap());
    EXPECT_EQ(type.Name, "Halo map");
    EXPECT_EQ(type.Extension, ".map");
    EXPECT_EQ(type.FilterText(), "Halo map (*.map)");
}

}  // namespace
}  // namespace xsc
