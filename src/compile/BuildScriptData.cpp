#include "compile/BuildScriptData.h"

#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "compile/BuildPhase.h"
#include "compile/RecompileCheck.h"
#include "scriptdata/LoadScriptData.h"
#include "scriptdata/ScriptArrangement.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/WriteScriptData.h"

namespace xsc {

void CheckOutputIsNotTheMap(const HaloPcMap& map, const std::optional<std::filesystem::path>& output) {
    std::error_code ec;
    if (output && map.f && std::filesystem::equivalent(*output, *map.f, ec)) {
        throw Error("this is the map itself: a compile into an output file leaves the map as it is; name another "
                    "output file, or compile in place",
                    Error::Subject::Output);
    }
}

CompileSummary BuildScriptData(HaloPcMap& map, const XmlDocument& document, ScriptCompilier& state,
                               const CompileOptions& options) {
    CheckOutputIsNotTheMap(map, options.output);
    LoadScriptData(map, state);
    const BuiltScripts built = BuildPhase(state, document);
    CheckScriptsAreOurs(map, state, built);

    WriteResult written = WriteScriptData(map, state, built, {options.output, options.recordFixups, options.journal});
    // The map changed under the map object: its tag offsets and length are those of the file
    // before the compile. Loading it again lets the next compile (the window's second "Compile
    // Script") recompile the file as it is now.
    if (!options.output) map.LoadMap(*map.f);

    CompileSummary summary;
    summary.scripts = static_cast<std::int32_t>(built.records.size());
    summary.slots = built.slots;
    summary.stringBytes = built.stringBytes;
    summary.growth = written.growth;
    summary.indexAddressesCorrected = written.indexAddressesCorrected;
    summary.scenarioAddressesCorrected = written.scenarioAddressesCorrected;
    summary.wordsCorrected = written.wordsCorrected;
    summary.fixups = std::move(written.fixups);
    return summary;
}

}  // namespace xsc
