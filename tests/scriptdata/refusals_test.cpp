// Every refusal of a compile: the message names the problem and the map's bytes are exactly as
// before.

#include <gtest/gtest.h>

#include <functional>

#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

using test::Bytes;
using test::Put32;

const char* kOneScript = "<s><m NameAttr='m'><ScriptValue ValueType='8' Value='1'/></m></s>";

class Refusals : public ::testing::Test {
protected:
    // Generates a map, lets `damage` change its bytes, then compiles `script` and expects a
    // refusal whose message contains `message`, with the file unchanged.
    void ExpectRefused(const mapgen::MapOptions& options, const std::function<void(Bytes&, const mapgen::MapLayout&)>& damage,
                       const std::string& script, const std::string& message) {
        const auto path = dir / "level.map";
        const mapgen::MapLayout layout = mapgen::WriteMap(path, options);
        Bytes bytes = test::ReadBytes(path);
        damage(bytes, layout);
        test::WriteBytes(path, bytes);
        HaloPcMap map;
        map.LoadMap(path);
        ScriptCompilier state;
        try {
            BuildScriptData(map, XmlDocument::LoadXml(script), state);
            ADD_FAILURE() << "compiled; expected: " << message;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
        EXPECT_TRUE(test::ReadBytes(path) == bytes) << message;
    }
    static void Nothing(Bytes&, const mapgen::MapLayout&) {}
    test::TempDir dir;
};

TEST_F(Refusals, MapThatAlreadyHoldsCompiledStrings) {
    const auto path = dir / "level.map";
    mapgen::WriteMap(path, test::SmallMap());
    HaloPcMap map;
    map.LoadMap(path);
    ScriptCompilier state;
    BuildScriptData(map, XmlDocument::LoadXml(kOneScript), state);
    const Bytes once = test::ReadBytes(path);
    EXPECT_THROW(
        {
            try {
                BuildScriptData(map, XmlDocument::LoadXml(kOneScript), state);
            } catch (const Error& e) {
                EXPECT_NE(std::string(e.what()).find("already holds compiled strings"), std::string::npos);
                throw;
            }
        },
        Error);
    EXPECT_TRUE(test::ReadBytes(path) == once);
}

TEST_F(Refusals, TagIndexWithOneEntry) {
    mapgen::MapOptions o = test::SmallMap();
    o.tagCount = 1;
    o.tagDataSize = 0;
    ExpectRefused(o, Nothing, kOneScript, "needs at least 2");
}

TEST_F(Refusals, ScriptNameOf32Bytes) {
    ExpectRefused(test::SmallMap(), Nothing, "<s><m NameAttr='" + std::string(32, 'x') + "'/></s>",
                  "1:4: script name");
    // UTF-8 bytes count, not characters: 16 two-byte characters are 32 bytes.
    std::string wide;
    for (int i = 0; i < 16; ++i) wide += "\xC3\xA9";
    ExpectRefused(test::SmallMap(), Nothing, "<s><m NameAttr='" + wide + "'/></s>", "is 32 bytes long");
}

TEST_F(Refusals, MoreSlotsThanTheNodeDataHolds) {
    mapgen::MapOptions o = test::SmallMap();
    o.slotCapacity = 8;
    // 4 fillers + 2 body nodes + 3 = 9 slots.
    ExpectRefused(o, Nothing, "<s><m><ScriptCommand Command='a'/></m></s>",
                  "the script needs 9 node slots but the map's node data holds 8");
}

TEST_F(Refusals, RealNodeWithIdentityZero) {
    mapgen::MapOptions o = test::SmallMap();
    o.slotCapacity = 8000;
    std::string body;
    for (int i = 0; i < 3700; ++i) body += "<ScriptCommand Command='x'/>";  // slots 4..7403 are body
    ExpectRefused(o, Nothing, "<s><m>" + body + "</m></s>", "slot 7309 would get identity 0");
}

TEST_F(Refusals, ArrangementTheBuildCannotHandle) {
    const auto field = [](const mapgen::MapLayout& l, int offset) { return static_cast<std::size_t>(l.scenarioOffset + offset); };
    ExpectRefused(test::SmallMap(), [&](Bytes& b, const mapgen::MapLayout& l) {
        Put32(b, field(l, 0x480), static_cast<std::uint32_t>(l.stringDataEnd + 64 + l.magic));
    }, kOneScript, "the node data does not lie before the string data");
    ExpectRefused(test::SmallMap(), [&](Bytes& b, const mapgen::MapLayout& l) {
        Put32(b, field(l, 0x480), static_cast<std::uint32_t>(l.scenarioOffset + 0x100 + l.magic));
    }, kOneScript, "and the node data overlap");
    ExpectRefused(test::SmallMap(), [&](Bytes& b, const mapgen::MapLayout& l) {
        Put32(b, field(l, 0x494), 0x7FFFF000u + static_cast<std::uint32_t>(l.magic));
    }, kOneScript, "the string data lies outside the file");
    ExpectRefused(test::SmallMap(), [&](Bytes& b, const mapgen::MapLayout& l) {
        Put32(b, field(l, 0x474), 20);
    }, kOneScript, "smaller than its 56-byte header");
    ExpectRefused(test::SmallMap(), [&](Bytes& b, const mapgen::MapLayout& l) {
        Put32(b, static_cast<std::size_t>(l.tagOffset) + 32 + 0x14, static_cast<std::uint32_t>(l.stringDataOffset + l.magic));
    }, kOneScript, "the data of tag 1 lies before the end of the string data");
    ExpectRefused(test::SmallMap(), [&](Bytes& b, const mapgen::MapLayout& l) {
        Put32(b, static_cast<std::size_t>(l.tagOffset) + 0x14, 0x7FFFFF00u + static_cast<std::uint32_t>(l.magic));
    }, kOneScript, "the scenario's node data size field lies outside the file");
}

TEST_F(Refusals, ResultBeyondTheFormatsReach) {
    // A sparse file just under 2 GB: the 92 + 8 bytes of growth would pass 2^31 - 1.
    const auto path = dir / "level.map";
    mapgen::WriteMap(path, test::SmallMap());
    std::filesystem::resize_file(path, 0x7FFFFFFF - 50);
    HaloPcMap map;
    map.LoadMap(path);
    ScriptCompilier state;
    try {
        BuildScriptData(map, XmlDocument::LoadXml(kOneScript), state);
        ADD_FAILURE() << "compiled";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("more than a map's 32-bit offsets can reach"), std::string::npos) << e.what();
    }
    EXPECT_EQ(std::filesystem::file_size(path), 0x7FFFFFFFu - 50);
}

TEST_F(Refusals, ScriptErrorsLeaveTheMapAlone) {
    ExpectRefused(test::SmallMap(), Nothing, "<s><m>\n  <ScriptComand/></m></s>", "2:3:");
    ExpectRefused(test::SmallMap(), Nothing, "<s>text</s>", "text is not allowed here");
}

TEST_F(Refusals, NoMapLoaded) {
    HaloPcMap map;
    ScriptCompilier state;
    try {
        BuildScriptData(map, XmlDocument::LoadXml(kOneScript), state);
        ADD_FAILURE() << "compiled";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("no map is loaded"), std::string::npos);
    }
}

}  // namespace
}  // namespace xsc
