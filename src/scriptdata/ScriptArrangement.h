#pragma once
// The arrangement of the map that a compile relies on, checked before anything is written:
//
//   ... tag index ... scenario fields ... node data ... | old region | tail ...
//                                                      ScriptTable  P = insertion point
//
// The old region is the string data of a fresh map, what an earlier compile wrote there, or the
// string data of a map the official tools compiled (OldScriptRegion.h). The scenario's fields, the node data and the tag entries are written in
// place, so each must lie before the string data and none may overlap another; everything from
// P on moves by the growth; the fix-up's scan starts at tag entry 1's data, which must lie at or
// behind P.

#include <cstdint>
#include <string>

#include "scriptdata/OldScriptRegion.h"

namespace xsc {

class BinaryStream;
class HaloPcMap;
struct ScriptCompilier;
struct BuiltScripts;

struct ScriptArrangement {
    std::int64_t fileLength = 0;      // before the compile
    std::int64_t newLength = 0;       // fileLength + growth
    std::int64_t scenario = 0;        // X: file offset of the scenario's data
    std::int64_t nodeData = 0;        // file offset of the node data
    std::int64_t slotCapacity = 0;    // (node data size - 56) / 20
    std::int64_t stringData = 0;      // ScriptTable
    std::int64_t oldRegionLength = 0; // the bytes from ScriptTable that the new region replaces
    std::int32_t oldGlobals = 0;      // global records of an earlier compile inside that region
    OldRegion::Kind oldKind = OldRegion::Kind::Fresh;
    OldRecords oldScripts;            // an official map's records, left unreferenced behind P
    OldRecords oldGlobalRecords;
    std::int64_t insertionPoint = 0;  // P = ScriptTable + oldRegionLength: the tail starts here
    std::int64_t scanStart = 0;       // tag entry 1's data offset, as loaded
    std::int32_t growth = 0;          // G = new region length - old region length
};

// Every check a compile makes of the map before its first write, and so what `xsc check --map`
// runs too: the file is still the map that was loaded and not cut short (its header's length, the
// tags' data), the regions written in place lie before the string data without overlapping (the
// compile mark in the header among them), the old script region is recognised, tag 1's data lies
// behind it, no other scenario block lies inside it, and the scripts fit the node data and the
// format. Throws Error naming the problem (and the offset where it applies). Reads, never writes.
// `reading`: how a string data of our shape is read (RegionReading::AsOfficial when its node data
// turned out not to be ours).
ScriptArrangement CheckArrangement(BinaryStream& file, const HaloPcMap& map, const ScriptCompilier& state,
                                   const BuiltScripts& built, RegionReading reading = RegionReading::AsOurs);

// Whether the compile replaces the scenario's globals: it has globals of its own, or the old
// region held an earlier compile's, or the official tools compiled the old ones (whose initial
// values are node trees the compile overwrites).
bool ReplacesGlobals(const ScriptArrangement& a, bool hasGlobals);

// A header that gives the map a smaller length than the file has is no reason to refuse (the
// bytes behind it are whole), but worth a warning: empty when there is none.
std::string HeaderLengthWarning(const HaloPcMap& map, std::int64_t fileLength);

// Everything a compile knows of the map (tags, offsets) was read by the load: a file whose length
// differs now is no longer that map (truncated, replaced or grown by someone else meanwhile).
void CheckLoadedLength(const HaloPcMap& map, std::int64_t fileLength);

}  // namespace xsc
