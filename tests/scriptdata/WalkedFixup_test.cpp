// The fix-up by the tag layouts, held to what the generator knows it wrote: over many structured
// maps and a run of compiles that grow, keep and shrink the file, every address field (and the
// structure BSP's file offset) names the same byte as before, every other byte of the moved data
// is unchanged (floats that look like addresses included), and the header agrees with the file.
// Damaged tags fall back to the word scan and say why; --fixup=scan keeps the reference's bytes.

#include <gtest/gtest.h>

#include <algorithm>

#include "CompileOracle.h"
#include "map/HaloPcMap.h"
#include "map/TagLayouts.h"
#include "runtime/XmlDocument.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

mapgen::MapOptions StructuredMap(std::uint64_t seed, std::int32_t tags = 10, bool names = false) {
    mapgen::MapOptions o = test::SmallMap(seed);
    o.structured = true;
    o.names = names;
    o.tagCount = tags;
    o.tagDataSize = (tags - 1) * 12 * 1024 + 4 * static_cast<std::int64_t>(seed);
    o.scenarioTailSize = 2048;
    return o;
}

// Where the generator's fields are in the map as it stands, and where the moved bytes start.
struct Fields {
    std::vector<std::int64_t> addresses, fileOffsets;
    std::int64_t insertionPoint;
    std::int32_t magic;
};

// One compile, checked field by field against the bytes before it; the fields move with it.
void ExpectFieldsFollow(const test::Bytes& before, const test::Bytes& after, std::int32_t growth, Fields& f) {
    const std::int64_t p = f.insertionPoint;
    const std::int64_t lower = p + f.magic;
    const std::int64_t upper = std::max(before.size(), after.size()) + static_cast<std::int64_t>(f.magic);
    auto moved = [&](std::int64_t offset) { return offset >= p ? offset + growth : offset; };
    std::vector<bool> field(before.size());
    for (const std::int64_t a : f.addresses) {
        const auto v = static_cast<std::int32_t>(test::Get32(before, static_cast<std::size_t>(a)));
        const std::uint32_t expected = v >= lower && v < upper ? static_cast<std::uint32_t>(v + growth) : static_cast<std::uint32_t>(v);
        EXPECT_EQ(test::Get32(after, static_cast<std::size_t>(moved(a))), expected) << "address field at " << a;
        std::fill_n(field.begin() + a, 4, true);
    }
    for (const std::int64_t o : f.fileOffsets) {
        const auto v = static_cast<std::int64_t>(test::Get32(before, static_cast<std::size_t>(o)));
        const auto expected = static_cast<std::uint32_t>(v >= p && v < static_cast<std::int64_t>(before.size()) ? v + growth : v);
        EXPECT_EQ(test::Get32(after, static_cast<std::size_t>(moved(o))), expected) << "file offset field at " << o;
        std::fill_n(field.begin() + o, 4, true);
    }
    std::size_t changed = 0;
    for (std::int64_t at = p; at < static_cast<std::int64_t>(before.size()); ++at) {
        if (!field[static_cast<std::size_t>(at)] && before[static_cast<std::size_t>(at)] != after[static_cast<std::size_t>(at + growth)]) {
            ++changed;
            ADD_FAILURE_AT(__FILE__, __LINE__) << "moved byte " << at << " changed";
            if (changed > 5) break;
        }
    }
    for (auto* list : {&f.addresses, &f.fileOffsets}) {
        for (std::int64_t& offset : *list) offset = moved(offset);
    }
    f.insertionPoint += growth;
}

TEST(WalkedFixup, EveryAddressFieldFollowsItsBytesAndNothingElseChanges) {
    // Twelve maps of structured tags, then four with the named things scripts use as well (their
    // named blocks in the scenario, in front of the node data and behind the strings, and in tags).
    for (std::uint64_t seed = 1; seed <= 16; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const mapgen::MapOptions options = seed <= 12 ? StructuredMap(seed) : StructuredMap(seed, 24, true);
        test::TempDir dir;
        const mapgen::MapLayout layout = mapgen::WriteMap(dir / "level.map", options);
        ASSERT_FALSE(layout.addressFields.empty());
        ASSERT_EQ(layout.fileOffsetFields.size(), 1u);  // the structure BSP, in the scenario's tail
        Fields f{layout.addressFields, layout.fileOffsetFields, layout.stringDataEnd, layout.magic};
        // Larger (G > 0), the same (G == 0), much smaller (G < 0), nothing, then larger again.
        for (const std::string& script :
             {test::PrintScript(3, "middle"), test::PrintScript(7, "longer_texts"), test::PrintScript(7, "longer_texts"),
              test::PrintScript(1, "x"), std::string("<s/>"), test::PrintScript(2, "again")}) {
            const test::Bytes before = test::ReadBytes(dir / "level.map");
            {
                // Into another file, the tags are walked as the move reaches them: the same bytes.
                HaloPcMap map;
                map.LoadMap(dir / "level.map");
                ScriptCompilier state;
                BuildScriptData(map, XmlDocument::LoadXml(script), state, {.output = dir / "copy.map"});
            }
            HaloPcMap map;
            map.LoadMap(dir / "level.map");
            ScriptCompilier state;
            const CompileSummary summary = BuildScriptData(map, XmlDocument::LoadXml(script), state);
            const test::Bytes after = test::ReadBytes(dir / "level.map");
            SCOPED_TRACE(script + ", growth " + std::to_string(summary.growth));
            EXPECT_EQ(test::ReadBytes(dir / "copy.map"), after) << "compiled into another file";
            for (const FallbackTag& t : summary.fallbacks) ADD_FAILURE() << "tag " << t.tag << " fell back: " << t.reason;
            ExpectFieldsFollow(before, after, summary.growth, f);
            EXPECT_EQ(test::Get32(after, 0x08), after.size());
            EXPECT_EQ(test::Get32(after, 0x14), after.size() - static_cast<std::size_t>(layout.indexOffset));
        }
    }
}

// A structured map with tag 2 of a class that has no layout and tag 3's first bounded block
// counting more elements than its layout allows.
struct DamagedMap {
    test::Bytes bytes;
    mapgen::MapLayout layout;
};

DamagedMap Damaged(std::uint64_t seed) {
    DamagedMap d;
    d.bytes = mapgen::GenerateMap(StructuredMap(seed), &d.layout);
    std::copy_n("zzzz", 4, d.bytes.begin() + d.layout.tagOffset + 2 * 32);
    const LayoutStruct& root = *TagLayouts::Builtin().Class(d.layout.tagClasses[3])->root;
    const auto block = std::find_if(root.fields.begin(), root.fields.end(),
                                    [](const LayoutField& f) { return f.kind == LayoutField::Kind::Block && f.max >= 0; });
    test::Put32(d.bytes, static_cast<std::size_t>(d.layout.tagDataOffsets[3] + block->offset),
                static_cast<std::uint32_t>(block->max + 1));
    return d;
}

TEST(WalkedFixup, TagsWhoseLayoutCannotBeWalkedGetTheWordScanAndSaySo) {
    const DamagedMap d = Damaged(3);
    test::TempDir dir;
    test::WriteBytes(dir / "walk.map", d.bytes);
    test::WriteBytes(dir / "scan.map", d.bytes);
    HaloPcMap walkMap, scanMap;
    walkMap.LoadMap(dir / "walk.map");
    scanMap.LoadMap(dir / "scan.map");
    ScriptCompilier state;
    CompileOptions walk;
    walk.recordFixups = true;
    const CompileSummary walked = BuildScriptData(walkMap, XmlDocument::LoadXml(test::PrintScript(2, "abc")), state, walk);
    CompileOptions scan;
    scan.fixup = FixupMode::Scan;
    BuildScriptData(scanMap, XmlDocument::LoadXml(test::PrintScript(2, "abc")), state, scan);

    ASSERT_EQ(walked.fallbacks.size(), 2u);
    EXPECT_EQ(walked.fallbacks[0].tag, 2);
    EXPECT_EQ(walked.fallbacks[0].reason, "no layout is known for class zzzz");
    EXPECT_EQ(walked.fallbacks[1].tag, 3);
    EXPECT_NE(walked.fallbacks[1].reason.find("is above its maximum"), std::string::npos) << walked.fallbacks[1].reason;
    // The fallen-back tags' bytes are what the word scan makes of them; a walked tag's are not.
    const test::Bytes a = test::ReadBytes(dir / "walk.map");
    const test::Bytes b = test::ReadBytes(dir / "scan.map");
    auto same = [&](int tag) {
        const auto start = static_cast<std::ptrdiff_t>(d.layout.tagDataOffsets[tag] + walked.growth);
        const auto end = start + d.layout.tagDataSizes[static_cast<std::size_t>(tag)];
        return std::equal(a.begin() + start, a.begin() + end, b.begin() + start);
    };
    EXPECT_TRUE(same(2));
    EXPECT_TRUE(same(3));
    EXPECT_FALSE(same(1) && same(4) && same(5));
    // What the walk left alone is listed, each word with the field around it.
    ASSERT_FALSE(walked.leftAlone.empty());
    for (const CorrectedWord& w : walked.leftAlone) {
        EXPECT_TRUE(w.oldValue == w.newValue && w.tag >= 0) << w.fileOffset << " tag " << w.tag << " " << w.path;
    }
}

TEST(WalkedFixup, TheWordScanOfStructuredMapsKeepsTheReferenceBytes) {
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        test::TempDir dir;
        CompileOptions scan;
        scan.fixup = FixupMode::Scan;
        const std::string script = test::PrintScript(2, "ref");
        const test::Compiled c = test::CompileInto(dir, StructuredMap(seed), script, scan);
        const robust::Verdict verdict =
            robust::JudgeCompiled(c.before, c.after, XmlDocument::LoadXml(script), c.state, c.summary.growth);
        EXPECT_FALSE(verdict.Violated()) << verdict.message;
    }
}

}  // namespace
}  // namespace xsc
