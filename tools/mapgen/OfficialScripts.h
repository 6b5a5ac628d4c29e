#pragma once
// Script data laid out as the game's official tools lay it out, so that reading and compiling over
// what those tools wrote can be tried on generated maps. The scripts are a text of the source
// language, compiled by the library against the map's names; their nodes are then laid out anew
// as the official compiler lays them out:
//
//   - slots in the order that compiler allocates them: per script (globals first) its statements
//     depth first, a call node right before its function-name node and its arguments; the root
//     `begin` pair after the body (it is built after the body is parsed). A one-statement script
//     may have that statement as its root, without `begin` (one seed in three).
//   - the slot allocated n-th has the salt 0x8000 | (0x6373 + n); every other script leaves four
//     free slots in front of its body (salt 0, stale fields: the parsed form and its header words)
//   - call nodes flags 8 (10 for a script call), their function-name node 9, values 9, global
//     reads 13 with the value type in the function-number field; a statement of a void script is a
//     call of type void (the type the official compiler gives a result nobody reads)
//   - the string data: "begin" at 0, then every text once, in order of first use, shared by all
//     nodes that name it, then an all-zero tail (1024 bytes) that calls and numbers point into
//   - the node table header as the game has it (name, 19001-slot capacity, size, live count,
//     next salt), every slot of the node data present (unused ones zero)
//   - script records, then global records, right behind the string data (no 0xFF padding)
//
// The map must have the sample names (MapOptions::names): the scripts name its camera points,
// objects, encounters, trigger volumes, cutscene flags and tags.

#include <cstdint>
#include <string>
#include <vector>

#include "mapgen/MapGenerator.h"

namespace xsc::mapgen {

struct OfficialScriptData {
    std::vector<std::uint8_t> nodeData;  // the header and every slot of the node data
    std::string strings;                 // the whole string data, zero tail included
    std::vector<std::uint8_t> scriptRecords;
    std::vector<std::uint8_t> globalRecords;
    std::int32_t scripts = 0;
    std::int32_t globals = 0;
};

// A source text of `scripts` scripts (and a few globals) as level designers write them, varied by
// the seed: camera moves, sleeps, wakes, calls of a static script, sounds and effects by tag path,
// encounters, objects, trigger volume waits, reads of scenario and engine globals.
std::string OfficialSource(std::uint64_t seed, std::int32_t scripts);

// Compiles options.officialSource (or OfficialSource(seed, officialScripts)) against the names of
// the map the options give without scripts and lays the nodes out as above. Throws Error when the
// text does not compile or the nodes do not fit the node data.
OfficialScriptData MakeOfficialScripts(const MapOptions& options);

}  // namespace xsc::mapgen
