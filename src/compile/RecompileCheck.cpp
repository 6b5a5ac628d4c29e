#include "compile/RecompileCheck.h"

#include <string>

#include "compiler/Decompile.h"
#include "map/HaloPcMap.h"
#include "runtime/BinaryStream.h"
#include "runtime/Error.h"
#include "scriptdata/ReadScriptData.h"
#include "scriptdata/ScriptArrangement.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {
namespace {

using namespace scriptformat;

[[noreturn]] void CompiledElsewhere(const std::string& why) {
    throw Error::InMap("the map already holds compiled scripts that were not written by xsc (" + why +
                       "); xsc can only recompile maps it compiled itself");
}

}  // namespace

void CheckScriptsAreOurs(const HaloPcMap& map, const ScriptCompilier& state, const BuiltScripts& built) {
    if (state.ScriptTableSize == kFreshStringDataSize) return;
    BinaryStream file = BinaryStream::OpenAsBinaryFile(*map.f, BinaryStream::Mode::ReadOnly);
    // The shape of the string region first: its refusals say most precisely what is foreign.
    CheckArrangement(file, map, state, built);
    const std::int32_t globals = file.ReadInt32At(std::int64_t{map.Scenario->Offset} + kGlobalsBlockField + kBlockCount,
                                                  "the scenario's globals count field");
    if (globals != 0) {
        CompiledElsewhere("the scenario has " + std::to_string(globals) +
                          (globals == 1 ? " global, whose initial value lives" : " globals, whose initial values live") +
                          " in the node data a compile replaces");
    }
    try {
        Decompile(ReadScriptData(map));
    } catch (const Error& e) {
        CompiledElsewhere(std::string("its node data does not read as xsc writes it: ") + e.what());
    }
}

}  // namespace xsc
