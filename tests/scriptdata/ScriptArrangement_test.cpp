// Every refusal of a compile, as one table: each is held to the promise of the robustness checks
// (an error and the map's bytes exactly as before), and the messages, rendered one line per case,
// are those of the golden file golden/Refusals.txt (XSC_UPDATE_GOLDEN=1 rewrites it from what the
// test renders now). Cases marked `compiled` start from a map that holds an earlier compile's
// scripts, damaged so that one condition of a recompile no longer holds.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>

#include "CompileOracle.h"
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
std::size_t Entry(const Layout& l, int tag) { return static_cast<std::size_t>(l.tagOffset) + 32 * tag + 0x14; }
std::uint32_t Address(const Layout& l, std::int64_t offset) { return static_cast<std::uint32_t>(offset + l.magic); }

struct Case {
    const char* name;
    std::function<void(Bytes&, const Layout&)> damage = [](Bytes&, const Layout&) {};
    bool compiled = false;  // compile kEarlier first
    std::string script = kOneScript;
    std::function<void(mapgen::MapOptions&)> options = [](mapgen::MapOptions&) {};
};

TEST(Refusals, EachLeavesTheMapUnchangedAndSaysWhy) {
    std::string body7400;
    for (int i = 0; i < 3700; ++i) body7400 += "<ScriptCommand Command='x'/>";  // slots 4..7403 are body
    const Case cases[] = {
        {.name = "one tag", .options = [](mapgen::MapOptions& o) { o.tagCount = 1; o.tagDataSize = 0; }},
        {.name = "name of 32 bytes", .script = "<s><m NameAttr='" + std::string(32, 'x') + "'/></s>"},
        {.name = "name of 32 UTF-8 bytes", .script = "<s><m NameAttr='éééééééééééééééé'/></s>"},  // 16 characters
        {.name = "too many slots", .script = "<s><m><ScriptCommand Command='a'/></m></s>",
         .options = [](mapgen::MapOptions& o) { o.slotCapacity = 8; }},
        {.name = "identity zero", .script = "<s><m>" + body7400 + "</m></s>",
         .options = [](mapgen::MapOptions& o) { o.slotCapacity = 8000; }},
        {.name = "script error", .script = "<s><m>\n  <ScriptComand/></m></s>"},
        {.name = "text", .script = "<s>text</s>"},
        {"node data behind the strings", [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x480), Address(l, l.stringDataEnd + 64)); }},
        {"overlap", [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x480), Address(l, l.scenarioOffset + 0x100)); }},
        // The compile mark is written into the header while the compile runs: nothing it rewrites
        // may lie under it.
        {"node data under the compile mark", [](Bytes& b, const Layout& l) {
             Put32(b, At(l, 0x474), 56 + 20 * 4);
             Put32(b, At(l, 0x480), Address(l, 0x1F0));
         }},
        {"strings outside", [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x494), Address(l, 0x7FFFF000)); }},
        {"small node data", [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x474), 20); }},
        {"tag 1 inside the strings", [](Bytes& b, const Layout& l) { Put32(b, Entry(l, 1), Address(l, l.stringDataOffset)); }},
        {"scenario outside", [](Bytes& b, const Layout& l) { Put32(b, Entry(l, 0), Address(l, 0x7FFFFF00)); }},
        {"scenario block in the strings",
         [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x4FC), 1); Put32(b, At(l, 0x500), Address(l, l.stringDataOffset + 8)); }},
        // A map compiled before, damaged so that it is neither ours nor laid out as the game's tools
        // lay it out (a string data of our shape over other nodes is read as theirs: OfficialMap_test).
        {"no begin", [](Bytes& b, const Layout& l) { b[StringData(l) + 5] = 'x'; }, true},
        {"no zero bytes", [](Bytes& b, const Layout& l) { b[StringData(l) + kEarlierStrings - 1] = 1; }, true},
        {"negative count", [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x49C), 0xFFFFFFFF); }, true},
        {"count too large", [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x49C), 65537); }, true},
        {"records past the end", [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x49C), 65536); }, true},
        {"tag 1 inside the records", [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x49C), 2); }, true},
        {"globals", [](Bytes& b, const Layout& l) { Put32(b, At(l, 0x4A8), 1); }, true},
        {"tag data past the game's memory", [](Bytes& b, const Layout&) { Put32(b, 0x14, 0x1700000 - 4); }},
    };
    robust::MemoryFile file;
    std::string rendered;
    for (const Case& c : cases) {
        mapgen::MapOptions options = test::SmallMap();
        options.scenarioTailSize = 64;  // tag 1's data 64 bytes behind the first compile's records
        c.options(options);
        Layout layout;
        Bytes bytes = mapgen::GenerateMap(options, &layout);
        if (c.compiled) {
            ASSERT_EQ(robust::CheckCompile(file, bytes, kEarlier).kind, robust::Verdict::Kind::Accepted);
            bytes = file.Contents();
        }
        c.damage(bytes, layout);
        const robust::Verdict verdict = robust::CheckCompile(file, bytes, c.script);
        EXPECT_EQ(verdict.kind, robust::Verdict::Kind::Refused) << c.name << ": " << verdict.message;
        rendered += std::string(c.name) + ": " + verdict.message + "\n";
    }
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
    } catch (const Error& e) {
        rendered += std::string("just under 2 GB: ") + e.what() + "\n";
    }
    EXPECT_EQ(std::filesystem::file_size(path), 0x7FFFFFFFu - 50);
    // Just under the largest map the game reads, as its header says too.
    std::filesystem::resize_file(path, 0x18000000 - 50);
    {
        Bytes size(4);
        Put32(size, 0, 0x18000000 - 50);
        std::fstream patch(path, std::ios::in | std::ios::out | std::ios::binary);
        patch.seekp(0x08);
        patch.write(reinterpret_cast<const char*>(size.data()), 4);
    }
    map.LoadMap(path);
    try {
        BuildScriptData(map, XmlDocument::LoadXml(kOneScript), state);
    } catch (const Error& e) {
        rendered += std::string("just under the game's largest map: ") + e.what() + "\n";
    }
    EXPECT_EQ(std::filesystem::file_size(path), 0x18000000u - 50);
    HaloPcMap none;
    EXPECT_THROW(BuildScriptData(none, XmlDocument::LoadXml(kOneScript), state), Error);  // no map loaded
    test::ExpectGolden("scriptdata/golden/Refusals.txt", rendered);
}

}  // namespace
}  // namespace xsc
