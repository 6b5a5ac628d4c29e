#include "scriptdata/ScenarioScriptFields.h"

#include "map/HaloPcMap.h"
#include "runtime/BinaryStream.h"
#include "runtime/Error.h"
#include "scriptdata/LoadScriptData.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {

ScenarioScriptFields ReadScenarioScriptFields(const HaloPcMap& map) {
    using namespace scriptformat;
    ScriptCompilier state;
    LoadScriptData(map, state);

    ScenarioScriptFields fields;
    fields.scenarioOffset = map.Scenario->Offset;
    fields.nodeDataSize = state.SyntaxDataSize;
    fields.nodeDataOffset = state.ScriptNode - kScriptNodeBias;
    fields.slotCapacity = state.SyntaxDataSize >= kFirstSlot ? (std::int64_t{state.SyntaxDataSize} - kFirstSlot) / kNodeSize : 0;
    fields.slotCountField = state.SyntaxCount;
    fields.stringDataSize = state.ScriptTableSize;
    fields.stringDataOffset = state.ScriptTable;

    BinaryStream in = BinaryStream::OpenAsBinaryFile(*map.f, BinaryStream::Mode::ReadOnly);
    const std::int64_t count = fields.scenarioOffset + kScriptCountField;
    const std::int64_t records = fields.scenarioOffset + kScriptRecordsAddressField;
    if (count < 0 || records + 4 > in.Length()) {
        throw Error::AtOffset("the scenario's script count field lies outside the file", count);
    }
    in.SetPosition(count);
    fields.scriptCount = in.ReadInt32();
    in.SetPosition(records);
    fields.scriptRecordsOffset =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(in.ReadInt32()) - static_cast<std::uint32_t>(map.Magic));
    return fields;
}

}  // namespace xsc
