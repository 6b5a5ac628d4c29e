#include "compile/CompileChecks.h"

#include <optional>
#include <string>

#include "xml/Decompile.h"
#include "map/HaloPcMap.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/BinaryStream.h"
#include "runtime/Error.h"
#include "scriptdata/ReadScriptData.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {
namespace {

using namespace scriptformat;

[[noreturn]] void CompiledElsewhere(const std::string& why) {
    throw Error::InMap("the map already holds compiled scripts that were not written by xsc (" + why +
                       "); xsc can only recompile maps it compiled itself");
}

void CheckScriptsAreOurs(BinaryStream& file, const HaloPcMap& map, const ScriptArrangement& arrangement, const MapNames* names) {
    const std::int32_t globals = file.ReadInt32At(std::int64_t{map.Scenario->Offset} + kGlobalsBlockField + kBlockCount,
                                                  "the scenario's globals count field");
    if (globals != 0 && arrangement.oldGlobals == 0) {
        CompiledElsewhere("the scenario has " + std::to_string(globals) +
                          (globals == 1 ? " global, whose initial value lives" : " globals, whose initial values live") +
                          " in the node data a compile replaces");
    }
    try {
        // Values that name the map's things hold what the map's names give for their texts.
        std::optional<MapNames> read;
        if (!names) names = &read.emplace(MapNames::Read(map, file));
        const NameResolver resolver(*names);
        Decompile(ReadScriptData(map, file), &resolver);
    } catch (const Error& e) {
        CompiledElsewhere(std::string("its node data does not read as xsc writes it: ") + e.what());
    }
}

}  // namespace

ScriptArrangement CheckBeforeWrite(BinaryStream& file, const HaloPcMap& map, const ScriptCompilier& state,
                                   const BuiltScripts& built, const MapNames* names) {
    // The shape of the string region first: its refusals say most precisely what is foreign.
    const ScriptArrangement arrangement = CheckArrangement(file, map, state, built);
    if (state.ScriptTableSize != kFreshStringDataSize) CheckScriptsAreOurs(file, map, arrangement, names);
    return arrangement;
}

}  // namespace xsc
