#include "scriptdata/LoadScriptData.h"

#include "map/HaloPcMap.h"
#include "runtime/BinaryStream.h"
#include "runtime/Error.h"
#include "runtime/Int32.h"
#include "scriptdata/ScriptArrangement.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc {
namespace {

using namespace scriptformat;

std::int32_t ReadScenarioField(BinaryStream& in, std::int64_t scenario, std::int64_t field, const char* what) {
    return in.ReadInt32At(scenario + field, std::string("the scenario's ") + what + " field");
}

}  // namespace

void LoadScriptData(const HaloPcMap& map, ScriptCompilier& state) {
    if (!map.f) throw Error("no map is loaded: load a map first");
    BinaryStream in = BinaryStream::OpenAsBinaryFile(*map.f, BinaryStream::Mode::ReadOnly);
    LoadScriptData(map, state, in);
}

void LoadScriptData(const HaloPcMap& map, ScriptCompilier& state, BinaryStream& in) {
    if (!map.Scenario) throw Error::InMap("the map has no scenario tag");
    // The offsets the load read are those of a file of this length; a file cut or grown since is
    // another map, whatever its fields now say.
    CheckLoadedLength(map, in.Length());
    const std::int64_t x = map.Scenario->Offset;

    // Read everything first so that a failure leaves the state as it was.
    const std::int32_t syntaxDataSize = ReadScenarioField(in, x, kNodeDataSizeField, "node data size");
    const std::int32_t scriptTable =
        Wrap32(std::int64_t{ReadScenarioField(in, x, kStringDataAddressField, "string data address")} - map.Magic);
    const std::int32_t scriptTableSize = ReadScenarioField(in, x, kStringDataSizeField, "string data size");
    const std::int32_t scriptNode = Wrap32(
        std::int64_t{ReadScenarioField(in, x, kNodeDataAddressField, "node data address")} - map.Magic + kScriptNodeBias);
    const std::int64_t slotCountField = std::int64_t{scriptNode} - kScriptNodeBias + kSlotCountField;
    if (slotCountField < 0 || slotCountField + 2 > in.Length()) {
        throw Error::AtOffset("the node data's slot count field lies outside the file", slotCountField);
    }
    in.SetPosition(slotCountField);
    const std::int32_t syntaxCount = in.ReadInt16();

    state.SyntaxDataSize = syntaxDataSize;
    state.ScriptTable = scriptTable;
    state.ScriptTableSize = scriptTableSize;
    state.LengthIntoStrings = Wrap32(std::int64_t{scriptTableSize} - kStringDataZeroBytes);
    state.ScriptNode = scriptNode;
    state.SyntaxCount = syntaxCount;
}

}  // namespace xsc
