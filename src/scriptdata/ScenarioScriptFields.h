#pragma once
// The scenario's script fields as a modder sees them (file offsets, not addresses), for
// `xsc info`. Reading them writes nothing and changes no compiler state.

#include <cstdint>

namespace xsc {

class BinaryStream;
class HaloPcMap;

struct ScenarioScriptFields {
    std::int64_t scenarioOffset = 0;
    std::int32_t nodeDataSize = 0;
    std::int32_t nodeDataOffset = 0;
    std::int64_t slotCapacity = 0;     // (node data size - 56) / 20, 0 when smaller
    std::int32_t slotCountField = 0;   // sign-extended from 16 bits
    std::int32_t stringDataSize = 0;
    std::int32_t stringDataOffset = 0;
    std::int32_t scriptCount = 0;
    std::int32_t scriptRecordsOffset = 0;
};

// Throws Error when no map is loaded or a field lies outside the file.
ScenarioScriptFields ReadScenarioScriptFields(const HaloPcMap& map);
// The same, through the map's stream that the command opened.
ScenarioScriptFields ReadScenarioScriptFields(const HaloPcMap& map, BinaryStream& in);

}  // namespace xsc
