#pragma once
// The generator's plan: the public layout plus what writing the bytes needs besides it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mapgen/MapGenerator.h"
#include "mapgen/OfficialScripts.h"
#include "mapgen/TagKinds.h"

namespace xsc::mapgen {

struct MapPlan {
    MapLayout layout;
    std::vector<const TagKind*> kinds;  // per tag
    std::vector<std::int32_t> nameOffsets;
    std::string headerCode;             // the 4 bytes at offset 0
    std::int32_t scenarioEnd = 0;       // behind the scenario tail, before the padding
    std::int32_t behindStringsOffset = 0;  // what the scenario's address at 0x5A8 designates
    std::int32_t namesRegionOffset = 0;    // with names: the named blocks, in front of the node data
    std::shared_ptr<const OfficialScriptData> official;  // with official scripts
    std::int64_t namesTailSize = 0;        // with names: the cutscene blocks at the start of the tail
};

// Checks the options (throws xsc::Error) and places everything.
MapPlan MakePlan(const MapOptions& options);

// Ways of drawing from the seed; each part of the map has a stream of its own.
enum class Part : std::uint64_t { Kinds = 1, TagSizes, Header, Head, Scenario, TagData };
std::uint64_t PartNumber(Part part);

}  // namespace xsc::mapgen
