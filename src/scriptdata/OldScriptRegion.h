#pragma once
// The bytes a compile replaces, from the string data on. Three kinds of map:
//
// A fresh map: the string data is 1024 zero bytes; the region is those bytes.
//
// A map this program compiled before: the region is everything the earlier compile wrote there:
//
//   ST: "begin\0" texts...  | 1024 zero bytes | 0xFF padding (0-3) | n_old script records |
//       <------------- string data size S ---------------->           g_old global records |
//
// recognised by all of: S >= 1030; the string data starts with "begin\0" and ends with 1024 zero
// bytes; the padding that brings S - 1024 to a multiple of 4 is there; 0 <= n_old <= 65536; the
// records address points right behind the padding; the records end inside the file and at or
// before tag entry 1's data. The global records (92 bytes each) belong to the region when the
// scenario's globals block names g_old > 0 of them right behind the script records, ending inside
// the file and at or before tag entry 1's data (maps compiled before globals were compiled have
// none).
//
// A map the game's official tools compiled: the string data starts with "begin\0" (the root
// `begin` of every script names it) and ends with a zero byte (the zero tail that nodes without
// text point into), but no 0xFF padding and records of ours follow it. Its script and global
// records lie in the scenario's data, where the scenario's other blocks do too: on the game's own
// maps the camera points follow the one script record directly. So the region is the string data
// alone, and the old records are LEFT UNREFERENCED: they move with the tail, and the compile
// points the scripts and globals fields at its own records. Replacing them would take the bytes
// of whatever block follows them. Recognised by all of: the string data starts with "begin\0",
// ends with a zero byte, lies inside the file in front of tag entry 1's data; the scenario's
// script and global counts are not negative, and the records they name (when any) lie inside the
// scenario's own bytes (its data offset to the next tag's data in file order).
//
// Anything else is refused: whoever wrote it, its extent cannot be known.

#include <cstdint>

#include "scriptdata/ScriptDataFormat.h"

namespace xsc {

class BinaryStream;
class HaloPcMap;
struct ScriptCompilier;

struct OldRecords {
    std::int64_t start = 0;  // file offset
    std::int64_t count = 0;  // 92-byte records
    std::int64_t End() const { return start + scriptformat::kRecordSize * count; }
};

struct OldRegion {
    enum class Kind { Fresh, Ours, Official };
    Kind kind = Kind::Fresh;
    std::int64_t length = 0;     // 1024 for a fresh map
    std::int32_t globals = 0;    // global records inside it: the scenario's globals were ours
    // An official map's records, left where they are (and unreferenced) by the compile.
    OldRecords scripts;
    OldRecords globalRecords;
};

// How to read a string data that is recognised as ours: as ours, or (when its node data turned
// out not to be this program's) as the official tools' output.
enum class RegionReading { AsOurs, AsOfficial };

// The old region. Throws Error when the string data is not a fresh map's, not recognised as this
// program's and not laid out as the official tools lay it out. Expects the string data, the
// scenario's fields and at least two tags to lie inside the file (CheckArrangement checks them
// first).
OldRegion FindOldRegion(BinaryStream& file, const HaloPcMap& map, const ScriptCompilier& state,
                        RegionReading reading = RegionReading::AsOurs);

}  // namespace xsc
