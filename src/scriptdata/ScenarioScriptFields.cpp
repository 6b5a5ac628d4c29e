#include "scriptdata/ScenarioScriptFields.h"

#include "map/HaloPcMap.h"
#include "runtime/BinaryStream.h"
#include "runtime/Error.h"
#include "runtime/Int32.h"
#include "scriptdata/LoadScriptData.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {

ScenarioScriptFields ReadScenarioScriptFields(const HaloPcMap& map, BinaryStream& in) {
    using namespace scriptformat;
    ScriptCompilier state;
    LoadScriptData(map, state, in);

    ScenarioScriptFields fields;
    fields.scenarioOffset = map.Scenario->Offset;
    fields.nodeDataSize = state.SyntaxDataSize;
    fields.nodeDataOffset = state.ScriptNode - kScriptNodeBias;
    fields.slotCapacity = SlotCapacity(state.SyntaxDataSize);
    fields.slotCountField = state.SyntaxCount;
    fields.stringDataSize = state.ScriptTableSize;
    fields.stringDataOffset = state.ScriptTable;

    fields.scriptCount = in.ReadInt32At(fields.scenarioOffset + kScriptCountField, "the scenario's script count field");
    fields.scriptRecordsOffset = Wrap32(
        std::int64_t{in.ReadInt32At(fields.scenarioOffset + kScriptRecordsAddressField,
                                    "the scenario's script records address field")} -
        map.Magic);
    return fields;
}

ScenarioScriptFields ReadScenarioScriptFields(const HaloPcMap& map) {
    if (!map.f) throw Error("no map is loaded: load a map first");
    BinaryStream in = BinaryStream::OpenAsBinaryFile(*map.f, BinaryStream::Mode::ReadOnly);
    return ReadScenarioScriptFields(map, in);
}

}  // namespace xsc
