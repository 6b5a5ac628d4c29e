// Compiling into a map whose scripts the game's official tools compiled (support/OfficialScripts.h):
// each compile is held to the reference of tests/robustness under both fix-ups; the new scripts
// read back as they do from a fresh map; the scenario's other blocks (the camera points right
// behind the old records among them) keep their names and bytes; the old records move with the
// tail, unreferenced; no stale official slot stays live; the result recompiles as one of ours; an
// edit of one script changes that script's nodes alone; and the maps the compile must refuse. Over
// the generator's official layouts: decompiling, compiling the text back and decompiling again
// gives the same text and the same node trees.

#include <gtest/gtest.h>

#include <sstream>

#include "CompileOracle.h"
#include "common/DecodedScripts.h"
#include "compile/DecompileSource.h"
#include "map/HaloPcMap.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "support/CompileFixture.h"
#include "support/OfficialScripts.h"
#include "xml/Decompile.h"
#include "scriptdata/ReadScriptData.h"

namespace xsc {
namespace {

using test::Bytes;
using test::Get32;

// The scenario's blocks that are not script data: field offset and element size.
constexpr struct {
    std::int64_t field, elementSize;
} kOtherBlocks[] = {{0x204, 36}, {0x288, 52}, {0x348, 104}, {0x360, 96}, {0x36C, 64}, {0x42C, 176}, {0x438, 96},
                    {0x468, 116}, {0x4B4, 40}, {0x4C0, 52}, {0x4E4, 92}, {0x4F0, 104}, {0x4FC, 96}};

// Every element of every such block, as the scenario's fields name them in `file`.
std::vector<Bytes> OtherBlocks(const Bytes& file, const mapgen::MapLayout& l) {
    std::vector<Bytes> blocks;
    for (const auto& b : kOtherBlocks) {
        const auto field = static_cast<std::size_t>(l.scenarioOffset + b.field);
        const auto count = static_cast<std::int32_t>(Get32(file, field));
        const auto at = static_cast<std::ptrdiff_t>(static_cast<std::int32_t>(Get32(file, field + 4)) - l.magic);
        blocks.emplace_back();
        if (count > 0) blocks.back().assign(file.begin() + at, file.begin() + at + count * b.elementSize);
    }
    return blocks;
}

std::string Decompiled(const test::TempDir& dir, const Bytes& file) {
    test::WriteBytes(dir / "read.map", file);
    HaloPcMap map;
    map.LoadMap(dir / "read.map");
    return Decompile(ReadScriptData(map));
}

struct OfficialMap {
    mapgen::MapLayout layout;
    Bytes bytes;
    test::OfficialScripts scripts;
};

OfficialMap MakeOfficialMap(std::uint64_t seed) {
    OfficialMap m;
    m.bytes = mapgen::GenerateMap(test::NamedMap(seed), &m.layout);
    m.scripts = test::WriteOfficialScripts(m.bytes, m.layout);
    return m;
}

// Two scripts and a global; the second script waits `wait`.
std::string Source(int wait) {
    return "(script startup intro (print \"intro\"))\n(script dormant later (sleep " + std::to_string(wait) +
           "))\n(global short delay 30)\n";
}

robust::Verdict Compile(robust::MemoryFile& file, const Bytes& map, const std::string& script, Bytes& after) {
    const robust::Verdict verdict = robust::CheckCompile(file, map, test::ScriptDocument(script));
    after = file.Contents();
    return verdict;
}

// Every script's and global's tree as the game follows it from the records, without slots and
// string offsets: each node's depth, kind, number, type, text, and the value of a non-call.
std::string Trees(const CompiledScriptData& data) {
    const DecodedScriptData decoded = DecodeScriptData(data);
    std::ostringstream trees;
    const auto nodes = [&trees](const std::vector<WalkedNode>& body, const std::vector<std::optional<std::string>>& texts) {
        for (std::size_t i = 0; i < body.size(); ++i) {
            const StoredNode& n = body[i].node;
            trees << "\n  " << body[i].depth << ' ' << n.expType << ' ' << n.engine << ' ' << n.valueType << ' '
                  << texts[i].value_or("-");
            if (n.expType != 8 && n.expType != 10) trees << ' ' << n.childOrValue;
        }
    };
    for (const DecodedScript& s : decoded.scripts) {
        trees << "\nscript " << s.name << ' ' << s.walked.record.type << ' ' << s.walked.record.returnType;
        nodes(s.walked.body, s.texts);
    }
    for (const DecodedGlobal& g : decoded.globals) {
        trees << "\nglobal " << g.name;
        nodes(g.walked.body, g.texts);
    }
    return trees.str();
}

// The map's scripts in the source language, and their trees.
std::pair<std::string, std::string> Read(const test::TempDir& dir, const Bytes& file) {
    test::WriteBytes(dir / "read.map", file);
    HaloPcMap map;
    map.LoadMap(dir / "read.map");
    const CompiledScriptData data = ReadScriptData(map);
    const MapNames names = MapNames::Read(map);
    const NameResolver resolver(names);
    return {DecompileToSource(data, engine::EngineBuild::Custom, &resolver), Trees(data)};
}

// Some seeds give texts that end on a multiple of 4, with the records right behind them: strings
// and records of our shape, over nodes that are not ours.
TEST(OfficialMap, DecompiledAndCompiledBackItReadsTheSame) {
    robust::MemoryFile file;
    int ourShape = 0;
    for (std::uint64_t seed = 1; seed <= 10; ++seed) {
        SCOPED_TRACE(seed);
        test::TempDir dir;
        mapgen::MapOptions options = test::NamedMap(seed);
        options.officialScripts = 2 + static_cast<std::int32_t>(seed % 4);
        options.slotCapacity = 2000;  // xsc's layout takes 5 slots a script more than theirs
        if (seed % 2 == 0) {
            // Every tag, the scenario too, walks by its layout: the walk moves the camera points.
            options.structured = true;
            options.scenarioTailSize = 4096;
            options.tagDataSize = 256 * 1024;
        }
        mapgen::MapLayout layout;
        const Bytes official = mapgen::GenerateMap(options, &layout);
        ourShape += (layout.stringDataEnd - layout.stringDataOffset) % 4 == 0;
        const auto [source, trees] = Read(dir, official);
        Bytes after;
        const robust::Verdict verdict = Compile(file, official, source, after);
        ASSERT_EQ(verdict.kind, robust::Verdict::Kind::Accepted) << verdict.message << "\n" << source;
        const auto [again, treesAgain] = Read(dir, after);
        EXPECT_EQ(again, source);
        EXPECT_EQ(treesAgain, trees);
        if (options.structured) {
            // The oracle's result is the word scan's; the walk's must name the same blocks.
            test::WriteBytes(dir / "walked.map", official);
            HaloPcMap map;
            map.LoadMap(dir / "walked.map");
            ScriptCompilier state;
            const CompileSummary summary = BuildScriptData(map, test::ScriptDocument(source), state);
            EXPECT_TRUE(summary.fallbacks.empty()) << summary.fallbacks.front().reason;
            EXPECT_EQ(OtherBlocks(test::ReadBytes(dir / "walked.map"), layout), OtherBlocks(official, layout));
        }
    }
    EXPECT_GT(ourShape, 0);
}

TEST(OfficialMap, TheScriptsAndGlobalsAreReplacedAndEverythingElseReadsTheSame) {
    for (std::uint64_t seed : {1, 2}) {
        SCOPED_TRACE(seed);
        test::TempDir dir;
        const OfficialMap m = MakeOfficialMap(seed);
        robust::MemoryFile file;
        Bytes after;
        const robust::Verdict verdict = Compile(file, m.bytes, Source(60), after);
        ASSERT_EQ(verdict.kind, robust::Verdict::Kind::Accepted) << verdict.message;

        // What the map's scripts read as: those of the same source compiled into a fresh map.
        const test::Compiled fresh = test::CompileInto(dir, test::NamedMap(seed), Source(60));
        EXPECT_EQ(Decompiled(dir, after), Decompiled(dir, fresh.after));
        EXPECT_EQ(OtherBlocks(after, m.layout), OtherBlocks(m.bytes, m.layout));

        // The old string data alone was replaced: the old records follow the new region,
        // unreferenced, and the camera points still follow them.
        const auto x = static_cast<std::size_t>(m.layout.scenarioOffset);
        const std::int64_t growth = static_cast<std::int64_t>(after.size()) - static_cast<std::int64_t>(m.bytes.size());
        const auto oldAt = static_cast<std::ptrdiff_t>(m.scripts.scriptRecord);
        EXPECT_TRUE(std::equal(m.bytes.begin() + oldAt, m.bytes.begin() + oldAt + 184, after.begin() + oldAt + growth));
        for (std::size_t field : {x + 0x4A0, x + 0x4AC}) {
            EXPECT_NE(static_cast<std::int32_t>(Get32(after, field)) - m.layout.magic, m.scripts.scriptRecord + growth);
            EXPECT_NE(static_cast<std::int32_t>(Get32(after, field)) - m.layout.magic, m.scripts.globalRecord + growth);
        }

        // No official slot beyond the new ones of a smaller script keeps a salt.
        Bytes small;
        ASSERT_EQ(Compile(file, m.bytes, "(script startup only (sleep 1))", small).kind, robust::Verdict::Kind::Accepted);
        const std::int32_t slots = static_cast<std::int16_t>(test::Get16(small, static_cast<std::size_t>(m.layout.nodeDataOffset) + 0x2E)) + 1;
        ASSERT_LT(slots, m.scripts.slotsInUse);
        for (std::int32_t k = slots; k < m.scripts.slotsInUse; ++k) {
            EXPECT_EQ(test::NodeAt(small, m.layout, k), test::Node{}) << "slot " << k;
        }

        // Now one of ours: the same source again changes nothing, another recompiles as usual.
        Bytes again;
        ASSERT_EQ(Compile(file, after, Source(60), again).kind, robust::Verdict::Kind::Accepted);
        EXPECT_TRUE(again == after);
        const robust::Verdict other = Compile(file, after, "(script startup only (sleep 1))", again);
        ASSERT_EQ(other.kind, robust::Verdict::Kind::Accepted) << other.message;
        EXPECT_EQ(OtherBlocks(again, m.layout), OtherBlocks(m.bytes, m.layout));
    }
}

TEST(OfficialMap, AnEditOfOneScriptChangesThatScriptsNodeAlone) {
    const OfficialMap m = MakeOfficialMap(3);
    robust::MemoryFile file;
    Bytes first, edited;
    ASSERT_EQ(Compile(file, m.bytes, Source(60), first).kind, robust::Verdict::Kind::Accepted);
    const robust::Verdict verdict = Compile(file, first, Source(90), edited);
    ASSERT_EQ(verdict.kind, robust::Verdict::Kind::Accepted) << verdict.message;
    ASSERT_EQ(edited.size(), first.size());
    std::vector<std::size_t> differ;
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (first[i] != edited[i]) differ.push_back(i);
    }
    // 60 and 90 differ in their low byte: the value field of the one node of the sleep's time.
    ASSERT_EQ(differ.size(), 1u);
    const std::int64_t intoSlots = static_cast<std::int64_t>(differ[0]) - m.layout.nodeDataOffset - 0x38;
    EXPECT_EQ(intoSlots % 20, 16);
    const test::Node node = test::NodeAt(edited, m.layout, static_cast<int>(intoSlots / 20));
    EXPECT_EQ(node.low, 90);
    EXPECT_EQ(node.valueType, 7);
}

TEST(OfficialMap, RefusesWhatItCannotReplaceSafelyAndSaysWhy) {
    const struct {
        const char* name;
        void (*damage)(Bytes&, const OfficialMap&);
        const char* says;
    } cases[] = {
        {"a block inside the old script record",
         [](Bytes& b, const OfficialMap& m) {
             const auto x = static_cast<std::size_t>(m.layout.scenarioOffset);
             test::Put32(b, x + 0x4FC, 1);
             test::Put32(b, x + 0x500, static_cast<std::uint32_t>(m.scripts.scriptRecord + 8 + m.layout.magic));
         },
         "points into its old script records"},
        {"a block at the old global record",
         [](Bytes& b, const OfficialMap& m) {
             const auto x = static_cast<std::size_t>(m.layout.scenarioOffset);
             test::Put32(b, x + 0x4B4, 1);
             test::Put32(b, x + 0x4B8, static_cast<std::uint32_t>(m.scripts.globalRecord + m.layout.magic));
         },
         "points into its old global records"},
        {"texts not ended", [](Bytes& b, const OfficialMap& m) { b[static_cast<std::size_t>(m.scripts.scriptRecord) - 1] = 'x'; },
         "does not end with a zero byte"},
        {"records outside the scenario",
         [](Bytes& b, const OfficialMap& m) {
             test::Put32(b, static_cast<std::size_t>(m.layout.scenarioOffset) + 0x4A0,
                         static_cast<std::uint32_t>(m.layout.scanStart + m.layout.magic));
         },
         "do not lie inside the scenario's data"},
    };
    robust::MemoryFile file;
    for (const auto& c : cases) {
        OfficialMap m = MakeOfficialMap(4);
        c.damage(m.bytes, m);
        Bytes after;
        const robust::Verdict verdict = Compile(file, m.bytes, Source(60), after);
        EXPECT_EQ(verdict.kind, robust::Verdict::Kind::Refused) << c.name << ": " << verdict.message;
        EXPECT_NE(verdict.message.find(c.says), std::string::npos) << c.name << ": " << verdict.message;
        EXPECT_TRUE(after == m.bytes) << c.name;
    }
}

}  // namespace
}  // namespace xsc
