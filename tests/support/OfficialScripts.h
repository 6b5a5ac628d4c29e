#pragma once
// Script data laid out as the game's official tools lay it out, written into a generated map with
// names (NamedMap) in place of its 1024 bytes of fresh string data, so that nothing else moves:
//
//   ST: "begin\0camera_set\0point_2\0sleep\0uicam\0" then zeros (840 bytes of string data)
//   ST + 840: the script record "ring_loop" (continuous, void)
//   ST + 932: the global record "ring_delay" (short, initial value 200)
//   ST + 1024: the scenario's tail, which starts with its cutscene blocks: the camera points
//              follow the records, as on the game's own maps.
//
// The nodes: slots 0-3 free (salt 0, stale fields), then (camera_set point_2 400) (sleep 200)
// (camera_set uicam 100) with shared texts, nodes without text pointing into the zero tail, the
// begin pair after its body, and the global's value; the table header counts 18 slots in use and
// 14 live nodes.

#include "mapgen/MapGenerator.h"
#include "support/TestFiles.h"

namespace xsc::test {

struct OfficialScripts {
    std::int64_t scriptRecord = 0;  // file offsets in the map as written
    std::int64_t globalRecord = 0;
    std::int32_t slotsInUse = 0;
};

OfficialScripts WriteOfficialScripts(Bytes& map, const mapgen::MapLayout& layout);

}  // namespace xsc::test
