// The names an editor offers for a value of each type, against what the generator put in the map
// (support/SampleNames.h, written apart from the reader): every one of them that a look-up can
// reach, once, and each resolving as a compile resolves it (maps from the generator with names,
// seed 3).

#include <gtest/gtest.h>

#include "engine/NameTables.h"
#include "map/HaloPcMap.h"
#include "mapgen/SampleNames.h"
#include "names/MapNames.h"
#include "names/NameChoices.h"
#include "names/NameResolution.h"
#include "runtime/Text.h"
#include "support/CompileFixture.h"
#include "support/SampleNames.h"

namespace xsc {
namespace {

// The reference's names without "none" (a word, not a name of the map) and without those that
// repeat an earlier one in another letter case (the look-up never reaches them).
std::vector<std::string> Reachable(std::int32_t type) {
    std::vector<std::string> out, seen;
    for (const std::string& name : test::SampleNamesOf(type)) {
        if (name == "none" || std::find(seen.begin(), seen.end(), LowerAscii(name)) != seen.end()) continue;
        seen.push_back(LowerAscii(name));
        out.push_back(name);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The generator's named map (seed 3), written and read once for the tests that look names up in it.
class NameChoicesOfNamedMap : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new test::TempDir;
        const auto path = *dir_ / "level.map";
        mapgen::WriteMap(path, test::NamedMap(3));
        HaloPcMap map;
        map.LoadMap(path);
        names_ = new MapNames(MapNames::Read(map));
        resolver_ = new NameResolver(*names_);
    }
    static void TearDownTestSuite() {
        delete resolver_;
        delete names_;
        delete dir_;
    }
    static inline test::TempDir* dir_ = nullptr;
    static inline MapNames* names_ = nullptr;
    static inline NameResolver* resolver_ = nullptr;
};

TEST_F(NameChoicesOfNamedMap, OfferWhatTheLookUpReachesOnceAndResolveAsACompileDoes) {
    const NameResolver& resolver = *resolver_;
    const engine::NameTables& tables = engine::NameTables::BuiltIn();
    int offered = 0;
    for (std::int32_t type = 0; type < 64; ++type) {
        SCOPED_TRACE("value type " + std::to_string(type));
        const std::vector<NameChoice> choices = NameChoices(resolver, type);
        std::vector<std::string> texts;
        for (const NameChoice& c : choices) {
            const ResolvedName resolved = resolver.Resolve(type, c.text);
            ASSERT_TRUE(resolved.value) << c.text << ": " << resolved.error;
            // Of a block, the value is the element's index; of a tag, its ID.
            const engine::Storage storage = tables.Encoding(type)->storage;
            if (storage == engine::Storage::BlockIndex) {
                EXPECT_EQ(*resolved.value, static_cast<std::uint32_t>(c.index)) << c.text;
            }
            if (storage == engine::Storage::TagId) {
                ASSERT_NE(c.tag, nullptr);
                EXPECT_EQ(*resolved.value, c.tag->ident) << c.text;
                EXPECT_EQ(c.tag->index, c.index);
            }
            // The generator's other tags have random paths: the reference lists the named ones.
            if (storage != engine::Storage::TagId || c.index <= static_cast<std::int32_t>(mapgen::TheSampleNames().tags.size())) {
                texts.push_back(c.text);
            }
        }
        std::sort(texts.begin(), texts.end());
        EXPECT_EQ(texts, Reachable(type));
        offered += static_cast<int>(choices.size());
    }
    EXPECT_GT(offered, 50);
}

TEST_F(NameChoicesOfNamedMap, SayKindIndexAndEncounter) {
    const NameResolver& resolver = *resolver_;
    std::vector<std::string> described;
    for (const std::int32_t type : {13, 17, 43}) {
        for (const NameChoice& c : NameChoices(resolver, type)) described.push_back(c.text + ": " + DescribeChoice(c));
    }
    const auto has = [&](const std::string& line) { return std::find(described.begin(), described.end(), line) != described.end(); };
    EXPECT_TRUE(has("point_2: cutscene camera point #4"));
    EXPECT_TRUE(has("enc_marines/escort: platoon #0 of encounter enc_marines"));
    EXPECT_TRUE(has("enc_marines: encounter #5"));
    EXPECT_TRUE(has("pistol_1: object name #7"));
    // Nothing is placed under lone_name: the game would find no object by it.
    EXPECT_FALSE(has("lone_name: object name #8"));
}

}  // namespace
}  // namespace xsc
