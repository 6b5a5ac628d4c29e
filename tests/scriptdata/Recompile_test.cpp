// Compiling into a map compiled before: the result is held to the reference for growth positive,
// zero and negative, on maps of both header kinds and with a negative Magic; the same script
// twice changes nothing, and a smaller script shrinks the file with every address into the
// moved bytes (the tag index's, and the scenario's own blocks') still naming the same byte.

#include <gtest/gtest.h>

#include "CompileOracle.h"
#include "map/HaloPcMap.h"
#include "runtime/XmlDocument.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

// The bytes that each tag's data address and each scenario block's address name in `file`.
std::vector<test::Bytes> AddressedData(const test::Bytes& file, const mapgen::MapLayout& l) {
    std::vector<std::int64_t> fields;
    for (std::int32_t i = 1; i < l.tagCount; ++i) fields.push_back(l.tagOffset + 32 * i + 0x14);
    for (std::int64_t block : {0x4E4, 0x4B4, 0x4C0, 0x4F0}) fields.push_back(l.scenarioOffset + block + 4);
    std::vector<test::Bytes> data;
    for (std::int64_t field : fields) {
        const auto address = static_cast<std::int32_t>(test::Get32(file, static_cast<std::size_t>(field)));
        const auto at = static_cast<std::ptrdiff_t>(address - l.magic);
        data.emplace_back(file.begin() + at, file.begin() + at + 16);
    }
    return data;
}

// What the map object says of the file: a compile in place must leave it as a load would.
std::string Described(const HaloPcMap& m) {
    std::string d = std::to_string(m.LoadedLength) + " " + std::to_string(m.HeaderFileSize) + " " +
                    std::to_string(m.HeaderTagDataSize) + " " + std::to_string(m.Magic) + "\n";
    for (const auto& tag : m.TagCache) d += tag->Class1 + " " + tag->Name + " " + std::to_string(tag->Offset) + "\n";
    return d;
}

TEST(Recompile, MatchesTheReferenceWhetherTheFileGrowsStaysOrShrinks) {
    // Tag data without address-like words: its bytes stay as they are wherever they move; and
    // scenario blocks behind the string data (and one in front), whose addresses the compile
    // corrects itself.
    mapgen::MapOptions plain = test::SmallMap(4);
    plain.addressEvery = 0;
    plain.realisticFill = true;
    plain.scenarioBlocks = true;
    mapgen::MapOptions alternate = test::SmallMap(5);
    alternate.daehHeader = false;
    alternate.mapMagic = 0x10;  // negative Magic
    for (const mapgen::MapOptions& options : {plain, test::SmallMap(6), alternate}) {
        test::TempDir dir;
        test::Compiled c = test::CompileInto(dir, options, test::PrintScript(3, "middle"));
        // Larger (G > 0), the same (G == 0), much smaller (G < 0), nothing, then larger again.
        const std::string sequence[] = {test::PrintScript(6, "longer_texts"), test::PrintScript(6, "longer_texts"),
                                        test::PrintScript(1, "x"), "<s/>", test::PrintScript(2, "again")};
        for (const std::string& script : sequence) {
            const test::Bytes before = test::ReadBytes(dir / "level.map");
            HaloPcMap map;
            map.LoadMap(dir / "level.map");
            ScriptCompilier state;
            const XmlDocument document = XmlDocument::LoadXml(script);
            CompileOptions scan;
            scan.fixup = FixupMode::Scan;  // the reference's
            const CompileSummary summary = BuildScriptData(map, document, state, scan);
            const test::Bytes after = test::ReadBytes(dir / "level.map");
            HaloPcMap loaded;
            loaded.LoadMap(dir / "level.map");
            EXPECT_EQ(Described(map), Described(loaded));
            SCOPED_TRACE(script + ", growth " + std::to_string(summary.growth));
            const robust::Verdict verdict = robust::JudgeCompiled(before, after, document, state, summary.growth);
            EXPECT_FALSE(verdict.Violated()) << verdict.message;
            if (summary.growth == 0) {
                EXPECT_TRUE(after == before);
            }
            // The header's file size and tag data size still agree with the file.
            const bool daeh = options.daehHeader;
            EXPECT_EQ(test::Get32(after, daeh ? 0x08 : 0x5E8), after.size());
            EXPECT_EQ(test::Get32(after, daeh ? 0x14 : 0x2C4), after.size() - static_cast<std::size_t>(c.layout.indexOffset));
            // Every tag's and block's address still names its data, wherever the data went.
            if (options.scenarioBlocks) {
                EXPECT_EQ(AddressedData(after, c.layout), AddressedData(c.before, c.layout));
            }
        }
    }
}

}  // namespace
}  // namespace xsc
