#pragma once
// The bytes a compile replaces, from the string data on. In a fresh map that is the string data
// itself, 1024 zero bytes. In a map this program compiled before it is everything the earlier
// compile wrote there:
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
// none). A map whose string data is neither is refused: its scripts were written by another
// tool, and their extent cannot be known.

#include <cstdint>

namespace xsc {

class BinaryStream;
class HaloPcMap;
struct ScriptCompilier;

struct OldRegion {
    std::int64_t length = 0;     // 1024 for a fresh map
    std::int32_t globals = 0;    // global records inside it: the scenario's globals were ours
};

// The old region. Throws Error when the string data is not a fresh map's and not recognised as
// this program's. Expects the string data, the scenario's fields and at least two tags to lie
// inside the file (CheckArrangement checks them first).
OldRegion FindOldRegion(BinaryStream& file, const HaloPcMap& map, const ScriptCompilier& state);

}  // namespace xsc
