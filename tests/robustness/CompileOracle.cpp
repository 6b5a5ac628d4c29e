#include "CompileOracle.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "ReferenceCompile.h"
#include "map/HaloPcMap.h"
#include "mapgen/MapGenerator.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "compile/BuildScriptData.h"
#include "scriptdata/ScenarioScriptFields.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc::robust {
namespace {

using Kind = Verdict::Kind;

std::string FirstDifference(const Bytes& a, const Bytes& b) {
    const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (ia == a.end() || ib == b.end()) return "lengths " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    return "first difference at offset " + Hex(ia - a.begin());
}

bool SameState(const HaloPcMap& a, const HaloPcMap& b) {
    return a.Magic == b.Magic && a.TagCount == b.TagCount && a.TagCache == b.TagCache && a.TagByName == b.TagByName &&
           a.TagsByIdent == b.TagsByIdent && a.Scenario == b.Scenario && a.tagOffset == b.tagOffset &&
           a.indexOffset == b.indexOffset && a.MapMagic == b.MapMagic && a.f == b.f && a.HeaderCode == b.HeaderCode &&
           a.LoadedLength == b.LoadedLength && a.HeaderFileSize == b.HeaderFileSize &&
           a.HeaderTagDataSize == b.HeaderTagDataSize;
}

// A successful load promises one Tag per entry, Scenario first, every name in the file and
// followed by its zero byte.
std::string LoadedIndexProblem(const HaloPcMap& m, const Bytes& map) {
    if (m.TagCount <= 0 || m.TagCache.size() != static_cast<std::size_t>(m.TagCount)) return "a wrong tag count";
    if (!m.Scenario || m.Scenario != m.TagCache.front()) return "Scenario is not TagCache[0]";
    for (std::size_t i = 0; i < m.TagCache.size(); ++i) {
        const Tag& t = *m.TagCache[i];
        const std::int64_t end = std::int64_t{t.NameOffset} + static_cast<std::int64_t>(t.Name.size());
        if (t.NameOffset < 0 || end >= static_cast<std::int64_t>(map.size()) || map[static_cast<std::size_t>(end)] != 0 ||
            !std::equal(t.Name.begin(), t.Name.end(), map.begin() + t.NameOffset,
                        [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; })) {
            return "the name of tag " + std::to_string(i) + " is not the bytes at its offset";
        }
    }
    return {};
}

Verdict Unexpected(const char* during, const std::exception& e) {
    return {Kind::Violation, std::string("an exception other than xsc::Error ") + during + ": " + e.what()};
}

}  // namespace

const HaloPcMap& BaselineMap() {
    static MemoryFile file;
    static const HaloPcMap map = [] {
        file.Assign(mapgen::GenerateMap({.headSize = 256, .tagCount = 3, .slotCapacity = 8, .tagDataSize = 256,
                                         .scenarioTailSize = 64}));
        HaloPcMap m;
        m.LoadMap(file.Path());
        return m;
    }();
    return map;
}

Verdict CheckLoad(MemoryFile& file, const Bytes& map, const HaloPcMap& baseline) {
    file.Assign(map);
    HaloPcMap m = baseline;
    try {
        m.LoadMap(file.Path());
    } catch (const Error& e) {
        if (!SameState(m, baseline)) return {Kind::Violation, std::string("a failed load changed the map object: ") + e.what()};
        return {Kind::Refused, e.what()};
    } catch (const std::exception& e) {
        return Unexpected("from LoadMap", e);
    }
    if (std::string problem = LoadedIndexProblem(m, map); !problem.empty()) return {Kind::Violation, "loaded, but " + problem};
    try {
        ReadScenarioScriptFields(m);
    } catch (const Error& e) {
        return {Kind::Refused, e.what()};
    } catch (const std::exception& e) {
        return Unexpected("from ReadScenarioScriptFields", e);
    }
    if (file.Contents() != map) return {Kind::Violation, "loading changed the file"};
    return {};
}

Verdict CheckCompile(MemoryFile& file, const Bytes& map, std::string_view script) {
    std::optional<XmlDocument> document;
    try {
        document = XmlDocument::LoadXml(script);
    } catch (const Error& e) {
        return {Kind::Refused, e.what()};
    } catch (const std::exception& e) {
        return Unexpected("from LoadXml", e);
    }
    return CheckCompile(file, map, *document);
}

namespace {

// One compile into `map` through `file` with the given fix-up: Accepted with the file's bytes in
// `after`, Refused with an unchanged file, or a Violation.
Verdict Attempt(MemoryFile& file, const Bytes& map, const XmlDocument& document, FixupMode mode, ScriptCompilier& state,
                CompileSummary& summary, Bytes& after) {
    file.Assign(map);
    HaloPcMap m;
    try {
        m.LoadMap(file.Path());
        // The file lives in memory (memfd), where no journal can stand beside it; the journal's
        // own tests are the crash tests.
        CompileOptions options;
        options.journal = false;
        options.fixup = mode;
        summary = BuildScriptData(m, document, state, options);
    } catch (const Error& e) {
        after = file.Contents();
        if (after != map) {
            return {Kind::Violation, "a refused compile changed the file (" + FirstDifference(map, after) + "): " + e.what()};
        }
        if (std::string(e.what()).empty()) return {Kind::Violation, "a refusal without a message"};
        return {Kind::Refused, e.what()};
    } catch (const std::exception& e) {
        return Unexpected("from the compile", e);
    }
    after = file.Contents();
    return {};
}

}  // namespace

// The word scan's result is held to the reference. The walk of the tag layouts is held to the
// same promise of a clear refusal and an unchanged map: it refuses exactly what the scan refuses
// (every check comes before the fix-up) and gives a file of the same length.
Verdict CheckCompile(MemoryFile& file, const Bytes& map, const XmlDocument& document) {
    ScriptCompilier walkState, state;
    CompileSummary walkSummary, summary;
    Bytes walked, scanned;
    const Verdict walk = Attempt(file, map, document, FixupMode::Walk, walkState, walkSummary, walked);
    if (walk.Violated()) return {Kind::Violation, "under the walk: " + walk.message};
    const Verdict scan = Attempt(file, map, document, FixupMode::Scan, state, summary, scanned);
    if (scan.kind != Kind::Accepted) {
        if (!scan.Violated() && walk.kind != Kind::Refused) return {Kind::Violation, "the walk accepted what the scan refused"};
        return scan;
    }
    if (walk.kind == Kind::Refused) return {Kind::Violation, "the walk refused what the scan accepted: " + walk.message};
    if (walked.size() != scanned.size()) return {Kind::Violation, "the walk and the scan give files of different lengths"};
    return JudgeCompiled(map, scanned, document, state, summary.growth);
}

Verdict JudgeCompiled(const Bytes& before, const Bytes& after, const XmlDocument& document, const ScriptCompilier& state,
                      std::int64_t reportedGrowth) {
    Bytes expected;
    if (std::string why = ReferenceCompile(before, document, state, expected); !why.empty()) {
        return {Kind::Violation, "compiled, but it should have been refused: " + why};
    }
    // Strings and records of our shape over nodes that are not ours: the game's tools' layout.
    Bytes official;
    if (after != expected && ReferenceCompile(before, document, state, official, true).empty() && after == official) {
        expected = std::move(official);
    }
    if (after != expected) return {Kind::Violation, "the compiled file differs from the reference: " + FirstDifference(expected, after)};
    if (static_cast<std::int64_t>(after.size() - before.size()) != reportedGrowth) {
        return {Kind::Violation, "the reported growth " + std::to_string(reportedGrowth) + " is not the file's growth"};
    }
    return {};
}

}  // namespace xsc::robust
