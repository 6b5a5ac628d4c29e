// The walk's checks, one damage at a time on a structured map: each damaged tag falls back with
// the reason a modder reads, and every other tag is still walked. Custom Edition resource tags
// are not walked (but for sounds, whose pitch ranges are left to sounds.map), and their index
// entries keep their data address, which is an index.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "map/HaloPcMap.h"
#include "map/MapFile.h"
#include "map/TagLayouts.h"
#include "map/TagWalk.h"
#include "mapgen/MapGenerator.h"
#include "mapgen/SampleNames.h"
#include "names/MapNames.h"
#include "runtime/Error.h"
#include "scriptdata/ScriptDataFormat.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

using test::Bytes;

mapgen::MapOptions Structured() {
    mapgen::MapOptions o = test::SmallMap(11);
    o.structured = true;
    o.tagCount = 12;
    o.tagDataSize = 11 * 10 * 1024;
    o.scenarioTailSize = 2048;
    return o;
}

// A field of tag `tag`'s root struct: the first with this kind (and, for blocks, elements).
const LayoutField* RootField(const Bytes& map, const mapgen::MapLayout& l, int tag, LayoutField::Kind kind) {
    const LayoutStruct& root = *TagLayouts::Builtin().Class(l.tagClasses[static_cast<std::size_t>(tag)])->root;
    for (const LayoutField& f : root.fields) {
        const auto at = static_cast<std::size_t>(l.tagDataOffsets[static_cast<std::size_t>(tag)] + f.offset);
        if (f.kind == kind && f.flags == 0 && (kind != LayoutField::Kind::Block || test::Get32(map, at) > 0)) return &f;
    }
    return nullptr;
}

TagWalk Walk(const test::TempDir& dir, const Bytes& bytes) {
    test::WriteBytes(dir / "m.map", bytes);
    HaloPcMap map;
    map.LoadMap(dir / "m.map");
    MapFile file = MapFile::Open(dir / "m.map", MapFile::Access::Read);
    return WalkTags(file.Stream(), map, {});
}

TEST(TagWalk, EachDamageFallsBackWithItsReason) {
    mapgen::MapLayout l;
    const Bytes map = mapgen::GenerateMap(Structured(), &l);
    test::TempDir dir;
    const TagWalk whole = Walk(dir, map);
    ASSERT_TRUE(whole.fallbacks.empty()) << whole.fallbacks.front().reason;
    ASSERT_EQ(whole.walked.size(), 12u);

    using Kind = LayoutField::Kind;
    const struct {
        const char* what;
        Kind kind;
        // The map, the field's offset, the tag's data offset.
        std::function<void(Bytes&, std::size_t, std::int64_t, const mapgen::MapLayout&)> damage;
        const char* reason;
    } cases[] = {
        {"a block's elements behind the tag", Kind::Block,
         [](Bytes& b, std::size_t f, std::int64_t, const mapgen::MapLayout& m) {
             test::Put32(b, f + 4, static_cast<std::uint32_t>(m.fileLength + m.magic));
         },
         "reach outside the tag's bytes"},
        {"a block that shares the root struct's bytes", Kind::Block,
         [](Bytes& b, std::size_t f, std::int64_t tag, const mapgen::MapLayout& m) {
             test::Put32(b, f + 4, static_cast<std::uint32_t>(tag + m.magic));
         },
         "overlap bytes visited before"},
        {"a negative count", Kind::Block,
         [](Bytes& b, std::size_t f, std::int64_t, const mapgen::MapLayout&) { test::Put32(b, f, 0xFFFFFFF0); },
         "is negative (-16)"},
        {"a tag reference's path before the file", Kind::TagRef,
         [](Bytes& b, std::size_t f, std::int64_t, const mapgen::MapLayout& m) {
             test::Put32(b, f + 4, static_cast<std::uint32_t>(m.magic - 8));
         },
         "lies outside the file"},
    };
    for (const auto& c : cases) {
        // The first tag from 5 on whose root struct has such a field.
        int tag = 5;
        while (tag < l.tagCount && RootField(map, l, tag, c.kind) == nullptr) ++tag;
        ASSERT_LT(tag, l.tagCount) << c.what;
        Bytes damaged = map;
        const std::int64_t start = l.tagDataOffsets[static_cast<std::size_t>(tag)];
        c.damage(damaged, static_cast<std::size_t>(start + RootField(map, l, tag, c.kind)->offset), start, l);
        const TagWalk walk = Walk(dir, damaged);
        ASSERT_EQ(walk.fallbacks.size(), 1u) << c.what;
        EXPECT_EQ(walk.fallbacks[0].tag, tag) << c.what;
        EXPECT_NE(walk.fallbacks[0].reason.find(c.reason), std::string::npos) << c.what << ": " << walk.fallbacks[0].reason;
        EXPECT_EQ(walk.walked.size(), 11u) << c.what;
    }
    // Structures in the bytes a compile replaces would be lost with them.
    test::WriteBytes(dir / "m.map", map);
    HaloPcMap loaded;
    loaded.LoadMap(dir / "m.map");
    MapFile file = MapFile::Open(dir / "m.map", MapFile::Access::Read);
    WalkOptions options;
    options.rewritten = {l.tagDataOffsets[5] + 16, l.tagDataOffsets[5] + 20};
    const TagWalk walk = WalkTags(file.Stream(), loaded, options);
    ASSERT_EQ(walk.fallbacks.size(), 1u);
    EXPECT_EQ(walk.fallbacks[0].reason, "the bytes of the root struct (" + Hex(l.tagDataOffsets[5]) + ".." +
                                            Hex(l.tagDataOffsets[5] + TagLayouts::Builtin().Class(l.tagClasses[5])->root->size) +
                                            ") lie in the script data a compile replaces");
}

// A map with the named things scripts use and real structures in every tag, the scenario and the
// tags holding names included: each tag walks whole, the walk finds exactly the address fields the
// generator wrote (the named blocks among them), every tag reference's path is the name of the tag
// whose ID it holds, and the names read back.
TEST(TagWalk, ANamedStructuredMapWalksWholeWithItsNames) {
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        mapgen::MapOptions o = test::NamedMap(seed);
        o.structured = true;
        o.tagDataSize = (o.tagCount - 1) * 10 * 1024 + 4 * static_cast<std::int64_t>(seed);
        o.scenarioTailSize = 2048;
        mapgen::MapLayout l;
        const Bytes bytes = mapgen::GenerateMap(o, &l);
        test::TempDir dir;
        const TagWalk walk = Walk(dir, bytes);
        for (const FallbackTag& t : walk.fallbacks) ADD_FAILURE() << "tag " << t.tag << " fell back: " << t.reason;
        EXPECT_EQ(walk.walked.size(), static_cast<std::size_t>(l.tagCount));

        // The script data fields are the compile's; the generator lists every other address.
        std::vector<std::int64_t> expected = l.addressFields;
        expected.push_back(l.scenarioOffset + scriptformat::kNodeDataAddressField);
        expected.push_back(l.scenarioOffset + scriptformat::kStringDataAddressField);
        std::sort(expected.begin(), expected.end());
        std::vector<std::int64_t> found;
        for (const WalkedField& f : walk.fields) {
            if (f.kind != WalkedField::Kind::FileOffset) found.push_back(f.offset);
            if (f.kind != WalkedField::Kind::TagRefPath) continue;
            const std::uint32_t id = test::Get32(bytes, static_cast<std::size_t>(f.offset + 8));
            const std::size_t index = id & 0xFFFF;
            ASSERT_LT(index, l.tagNames.size()) << "reference at " << f.offset;
            EXPECT_EQ(id, l.tagIdents[index]) << "reference at " << f.offset;
            const auto path = static_cast<std::size_t>(static_cast<std::uint32_t>(f.value) - static_cast<std::uint32_t>(l.magic));
            EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data() + path), l.tagNames[index].c_str()) << "reference at " << f.offset;
        }
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, expected);

        HaloPcMap map;
        map.LoadMap(dir / "m.map");
        const MapNames names = MapNames::Read(map);
        const mapgen::SampleNames& sample = mapgen::TheSampleNames();
        auto expectNames = [&names](std::string_view block, const std::vector<std::string_view>& wanted) {
            const NamedBlock* read = names.Block(block);
            ASSERT_NE(read, nullptr) << block;
            EXPECT_EQ(read->error, "") << block;
            EXPECT_EQ(read->names, std::vector<std::string>(wanted.begin(), wanted.end())) << block;
        };
        for (const auto* blocks : {&sample.scenarioBlocks, &sample.behindStrings}) {
            for (const mapgen::SampleBlock& b : *blocks) expectNames(b.block, b.names);
        }
        expectNames("hud_message_text_messages", sample.hudMessages);
        expectNames("hud_globals_waypoint_arrows", sample.navpoints);
        ASSERT_EQ(names.Encounters().size(), sample.encounters.size());
        for (std::size_t i = 0; i < sample.encounters.size(); ++i) {
            EXPECT_EQ(names.Encounters()[i].squads.size(), sample.encounters[i].squads.size());
            EXPECT_EQ(names.Encounters()[i].platoons.size(), sample.encounters[i].platoons.size());
        }
        EXPECT_EQ(names.Placements()[0].size(), 1u);  // switch_a: one control
    }
}

TEST(TagWalk, ResourceTagsHoldAnIndexNotAnAddress) {
    mapgen::MapLayout l;
    Bytes map = mapgen::GenerateMap(Structured(), &l);
    // Every tag but the scenario becomes a resource tag, its pitch ranges (sounds) damaged.
    const LayoutStruct& sound = *TagLayouts::Builtin().Class("snd!")->root;
    const auto pitch = std::find_if(sound.fields.begin(), sound.fields.end(), [](const LayoutField& f) { return f.name == "pitch_ranges"; });
    for (int tag = 1; tag < l.tagCount; ++tag) {
        test::Put32(map, static_cast<std::size_t>(l.tagOffset + 32 * tag + 0x18), 1);
        if (l.tagClasses[static_cast<std::size_t>(tag)] == "snd!") {
            test::Put32(map, static_cast<std::size_t>(l.tagDataOffsets[static_cast<std::size_t>(tag)] + pitch->offset), 0xFFFFFFFF);
        }
    }
    test::TempDir dir;
    const TagWalk walk = Walk(dir, map);
    EXPECT_TRUE(walk.fallbacks.empty());
    for (const std::int32_t tag : walk.walked) EXPECT_TRUE(tag == 0 || l.tagClasses[static_cast<std::size_t>(tag)] == "snd!") << tag;

    // The index pass of a compile leaves their data addresses alone; the word scan does not.
    for (const FixupMode mode : {FixupMode::Walk, FixupMode::Scan}) {
        test::WriteBytes(dir / "c.map", map);
        HaloPcMap loaded;
        loaded.LoadMap(dir / "c.map");
        ScriptCompilier state;
        CompileOptions options;
        options.fixup = mode;
        BuildScriptData(loaded, XmlDocument::LoadXml(test::PrintScript(1, "r")), state, options);
        const Bytes after = test::ReadBytes(dir / "c.map");
        const auto entry = static_cast<std::size_t>(l.tagOffset + 32 * 1 + 0x14);
        EXPECT_EQ(test::Get32(after, entry) == test::Get32(map, entry), mode == FixupMode::Walk);
    }
}

}  // namespace
}  // namespace xsc
