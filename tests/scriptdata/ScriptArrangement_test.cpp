// Every refusal of a compile, as one table: the message names the problem and the map's bytes are
// exactly as before. Maps marked `compiled` hold an earlier compile's scripts, damaged so that
// one condition of a recompile no longer holds.

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
using Layout = mapgen::MapLayout;

const std::string kOneScript = "<s><m NameAttr='m'><ScriptValue ValueType='8' Value='1'/></m></s>";
// Compiled into a fresh small map: strings "begin\0" + "hello\0" (L 12, no padding), one record.
const std::string kEarlier = "<s><m NameAttr='m'><ScriptValue ValueType='9' Value='hello'/></m></s>";
constexpr std::size_t kEarlierStrings = 12 + 1024;

std::size_t At(const Layout& l, std::int64_t scenarioOffset) { return static_cast<std::size_t>(l.scenarioOffset + scenarioOffset); }
std::size_t StringData(const Layout& l) { return static_cast<std::size_t>(l.stringDataOffset); }
std::uint32_t Address(const Layout& l, std::int64_t offset) { return static_cast<std::uint32_t>(offset + l.magic); }

struct Refusal {
    const char* name;
    std::function<void(mapgen::MapOptions&)> options;
    bool compiled;  // compile kEarlier first
    std::function<void(Bytes&, const Layout&)> damage;
    std::string script;
    std::string message;
};

void NoChange(mapgen::MapOptions&) {}
void NoDamage(Bytes&, const Layout&) {}

TEST(Refusals, EachLeavesTheMapUnchanged) {
    std::string body7400;
    for (int i = 0; i < 3700; ++i) body7400 += "<ScriptCommand Command='x'/>";  // slots 4..7403 are body
    std::string wide;
    for (int i = 0; i < 16; ++i) wide += "\xC3\xA9";  // 16 characters, 32 UTF-8 bytes
    const Refusal refusals[] = {
        {"one tag", [](mapgen::MapOptions& o) { o.tagCount = 1; o.tagDataSize = 0; }, false, NoDamage, kOneScript,
         "needs at least 2"},
        {"name of 32 bytes", NoChange, false, NoDamage, "<s><m NameAttr='" + std::string(32, 'x') + "'/></s>",
         "1:4: script name"},
        {"name of 32 UTF-8 bytes", NoChange, false, NoDamage, "<s><m NameAttr='" + wide + "'/></s>", "is 32 bytes long"},
        {"too many slots", [](mapgen::MapOptions& o) { o.slotCapacity = 8; }, false, NoDamage,
         "<s><m><ScriptCommand Command='a'/></m></s>", "the script needs 9 node slots but the map's node data holds 8"},
        {"identity zero", [](mapgen::MapOptions& o) { o.slotCapacity = 8000; }, false, NoDamage, "<s><m>" + body7400 + "</m></s>",
         "slot 7309 would get identity 0"},
        {"script error", NoChange, false, NoDamage, "<s><m>\n  <ScriptComand/></m></s>", "2:3:"},
        {"text", NoChange, false, NoDamage, "<s>text</s>", "text is not allowed here"},
        {"node data behind the strings", NoChange, false,
         [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x480), Address(l, l.stringDataEnd + 64)); }, kOneScript,
         "the node data does not lie before the string data"},
        {"overlap", NoChange, false, [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x480), Address(l, l.scenarioOffset + 0x100)); },
         kOneScript, "and the node data overlap"},
        {"strings outside", NoChange, false, [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x494), Address(l, 0x7FFFF000)); },
         kOneScript, "the string data lies outside the file"},
        {"small node data", NoChange, false, [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x474), 20); }, kOneScript,
         "smaller than its 56-byte header"},
        {"tag 1 inside the strings", NoChange, false,
         [](Bytes& b, const Layout& l) { Put32(b, static_cast<std::size_t>(l.tagOffset) + 32 + 0x14, Address(l, l.stringDataOffset)); },
         kOneScript, "the data of tag 1 lies before the end of the string data"},
        {"scenario outside", NoChange, false,
         [](Bytes& b, const Layout& l) { Put32(b, static_cast<std::size_t>(l.tagOffset) + 0x14, Address(l, 0x7FFFFF00)); },
         kOneScript, "the scenario's node data size field lies outside the file"},
        {"scenario block in the strings", NoChange, false,
         [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x4FC), 1); Put32(b, At(l, 0x500), Address(l, l.stringDataOffset + 8)); },
         kOneScript, "the scenario's cutscene titles (at"},
        // A map compiled before, each condition of a recompile broken alone.
        {"string data too short", NoChange, true, [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x488), 1029); }, kOneScript,
         "its string data is 1029 bytes"},
        {"no begin", NoChange, true, [](Bytes& b, const Layout& l) { b[StringData(l) + 5] = 'x'; }, kOneScript,
         "does not start with \"begin\""},
        {"no zero bytes", NoChange, true, [](Bytes& b, const Layout& l) { b[StringData(l) + kEarlierStrings - 1] = 1; },
         kOneScript, "does not end with 1024 zero bytes"},
        {"no padding", NoChange, true,
         [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x488), 1035); }, kOneScript, "no 0xFF padding"},
        {"negative count", NoChange, true, [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x49C), 0xFFFFFFFF); }, kOneScript,
         "its script count is -1"},
        {"count too large", NoChange, true, [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x49C), 65537); }, kOneScript,
         "its script count is 65537"},
        {"records elsewhere", NoChange, true,
         [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x4A0), Address(l, l.stringDataOffset + kEarlierStrings + 4)); }, kOneScript,
         "do not follow the string data"},
        {"records past the end", NoChange, true, [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x49C), 65536); }, kOneScript,
         "run past the end of the file"},
        {"tag 1 inside the records", NoChange, true, [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x49C), 2); }, kOneScript,
         "tag 1's data starts inside its script records"},
    };
    test::TempDir dir;
    const auto path = dir / "level.map";
    for (const Refusal& r : refusals) {
        mapgen::MapOptions options = test::SmallMap();
        options.scenarioTailSize = 64;  // tag 1's data 64 bytes behind the first compile's records
        r.options(options);
        const Layout layout = mapgen::WriteMap(path, options);
        ScriptCompilier state;
        if (r.compiled) {
            HaloPcMap map;
            map.LoadMap(path);
            BuildScriptData(map, XmlDocument::LoadXml(kEarlier), state);
        }
        Bytes bytes = test::ReadBytes(path);
        r.damage(bytes, layout);
        test::WriteBytes(path, bytes);
        try {
            HaloPcMap map;
            map.LoadMap(path);
            BuildScriptData(map, XmlDocument::LoadXml(r.script), state);
            ADD_FAILURE() << r.name << ": compiled; expected: " << r.message;
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(r.message), std::string::npos) << r.name << ": " << e.what();
        }
        EXPECT_TRUE(test::ReadBytes(path) == bytes) << r.name;
    }
}

TEST(Refusals, ResultBeyondTheFormatsReach) {
    // A sparse file just under 2 GB: the 92 + 8 bytes of growth would pass 2^31 - 1.
    test::TempDir dir;
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
    HaloPcMap none;
    EXPECT_THROW(BuildScriptData(none, XmlDocument::LoadXml(kOneScript), state), Error);  // no map loaded
}

}  // namespace
}  // namespace xsc
