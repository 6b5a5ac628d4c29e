#pragma once
// BuildScriptData: compiles a parsed script document into the loaded map.
//
// Every child element of the document element becomes one script: a run of node slots written
// over the node data from slot 0, and one script record. The new string data and the records
// take the place of the old 1024 bytes of string data; everything behind them moves towards the
// end of the file by the growth, and the addresses pointing into it are corrected.
//
// The map is opened once for the whole compile (map/MapFile.h): one handle and one lock from the
// first read to the last write. Everything that can be checked is checked before the first byte
// is written (CompileChecks.h): a refused compile throws Error and leaves the map unchanged. After
// a compile in place the map object is updated from what was written (its tags' data offsets, its
// length, its header's sizes), so that it describes the file as it now is and can be compiled
// into again.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "map/TagWalk.h"
#include "map/UpdateFromPoint.h"

namespace xsc {

class HaloPcMap;
class MapFile;
class MapNames;
class XmlDocument;
struct ScriptCompilier;

struct CompileOptions {
    // Write the result to this file (written whole to a temporary file beside it, then renamed)
    // and leave the loaded map untouched. Empty: compile into the loaded map in place.
    std::optional<std::filesystem::path> output;
    // List every word the fix-up corrected in CompileSummary::fixups.
    bool recordFixups = false;
    // In place: save what the compile changes to a journal beside the map first, so that a crash
    // part-way can be undone. Off only when speed matters more than the map.
    bool journal = true;
    // The map's named things as the command read them from the opened map; none: the compile
    // reads them itself. Values that name them store what the game reads (names/NameResolution.h).
    const MapNames* names = nullptr;
    // How the addresses in the moved bytes are told: the tag layouts (falling back to the word
    // scan per tag where a layout cannot be walked), or the word scan alone.
    FixupMode fixup = FixupMode::Walk;
};

struct CompileSummary {
    std::int32_t scripts = 0;       // script records written
    std::int32_t slots = 0;         // node slots written
    std::int32_t stringBytes = 0;   // L: the new strings without their 1024 zero bytes
    std::int32_t growth = 0;        // G: how far the tail moved
    std::size_t indexAddressesCorrected = 0;
    // The scan: addresses of scenario blocks behind the strings; the walk: words of the scenario in
    // front of the string data.
    std::size_t scenarioAddressesCorrected = 0;
    std::size_t wordsCorrected = 0;  // words of the scan, index and scenario addresses not included
    std::vector<CorrectedWord> fixups;  // when recordFixups is set; offsets after the move
    std::vector<FallbackTag> fallbacks;  // the walk: tags given the word scan, and why
    std::vector<CorrectedWord> leftAlone;  // the walk, when recordFixups is set: in-range words not changed
};

// `opened`: the map as the command opened it (MapFile::Access::Write for a compile in place, Read
// for an output file), whose lock stays held; when none is given, the compile opens the map itself.
CompileSummary BuildScriptData(HaloPcMap& map, const XmlDocument& document, ScriptCompilier& state,
                               const CompileOptions& options = {}, MapFile* opened = nullptr);

// An output file promises to leave the map untouched, so it must not be the map under any name
// (the same path, a symbolic or a hard link): throws Error (about the output) when it is.
// BuildScriptData checks it first; a front end may check it before it says anything else.
void CheckOutputIsNotTheMap(const HaloPcMap& map, const std::optional<std::filesystem::path>& output);

}  // namespace xsc
