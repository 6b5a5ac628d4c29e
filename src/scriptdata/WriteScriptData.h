#pragma once
// The write phase of a compile.
//
// The map comes opened and locked by the command (map/MapFile.h), its arrangement checked.
// In place, with a journal: plan, save what will change to the journal (flushed),
// set the compile mark in the map header and flush it, write, flush the map, put the header's
// bytes back under the mark and flush them, delete the journal (the commit point). Without a
// journal the same, less the journal: a crash then leaves a marked map, refused when opened.
// Everything is read first: the fields to write, the tag
// index with its corrected data addresses, the fix-up's plan (the walk of every tag by its layout,
// map/WalkedFixup.h, or under FixupMode::Scan the scenario's blocks), and the new region (strings,
// 1024 zero bytes, 0xFF padding, script records) in memory. Only then is the file written: in
// place, the new length is reserved (so a full disk or a file-size limit fails before any byte
// changes), the region and the tail are streamed to their new places with the fix-up applied
// chunk by chunk
// (MoveTail.h), the small fields are written, a shrunk file is cut, and the file is flushed once.
// With an output file, the bytes before the string data are copied into a temporary file beside
// it, the region and the tail are streamed into it from the map, and it is renamed into place
// when whole; the map is only read.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "map/TagWalk.h"
#include "map/UpdateFromPoint.h"

namespace xsc {

class BinaryStream;
class HaloPcMap;
struct ScriptArrangement;
struct ScriptCompilier;
struct BuiltScripts;

struct WriteResult {
    std::int32_t growth = 0;
    std::size_t indexAddressesCorrected = 0;
    // The scan: addresses of scenario blocks behind the strings. The walk: words of the
    // scenario's own data in front of the string data.
    std::size_t scenarioAddressesCorrected = 0;
    std::size_t wordsCorrected = 0;
    // When recording: index addresses, scenario addresses, then the words of the tag data.
    std::vector<CorrectedWord> fixups;
    // The walk: the tags whose layout could not be walked, given the word scan instead.
    std::vector<FallbackTag> fallbacks;
    // The walk, when recording: the words of the scan's grid in range that were left alone.
    std::vector<CorrectedWord> leftAlone;
};

struct WriteOptions {
    std::optional<std::filesystem::path> output;  // empty: in place
    bool recordFixups = false;
    bool journal = true;  // in place: save what is overwritten first, so a crash can be undone
    FixupMode fixup = FixupMode::Walk;
};

// Writes the compiled scripts into the loaded map in place, or into `output` leaving the map
// untouched. `file` is the map, opened by the command with its lock held (read-write and the
// exclusive lock in place, the shared lock for an output file); `arrangement` is what every check
// before the first write found (CheckArrangement and the compile's own checks). In place, with a
// journal, every byte the write changes is saved beside the map first: an error part-way puts it
// back at once, a crash part-way is undone when the map is next opened (RecoverFile).
WriteResult WriteScriptData(const HaloPcMap& map, const ScriptCompilier& state, const BuiltScripts& built,
                            const ScriptArrangement& arrangement, BinaryStream& file, const WriteOptions& options);

}  // namespace xsc
