#include "compile/BuildScriptData.h"

#include "map/HaloPcMap.h"
#include "map/MapFile.h"
#include "runtime/Error.h"
#include "compile/BuildPhase.h"
#include "compile/CompileChecks.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
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

namespace {

// The map as this compile reads and writes it: the command's, or one opened here for it.
MapFile& OpenedFor(const HaloPcMap& map, const CompileOptions& options, MapFile* opened, std::optional<MapFile>& own) {
    const MapFile::Access access = options.output ? MapFile::Access::Read : MapFile::Access::Write;
    if (opened) {
        if (access == MapFile::Access::Write && opened->GetAccess() != access) {
            throw Error("internal error: a compile in place needs the map opened for writing");
        }
        return *opened;
    }
    own.emplace(MapFile::Open(*map.f, access));
    return *own;
}

}  // namespace

CompileSummary BuildScriptData(HaloPcMap& map, const XmlDocument& document, ScriptCompilier& state,
                               const CompileOptions& options, MapFile* opened) {
    CheckOutputIsNotTheMap(map, options.output);
    if (!map.f) throw Error("no map is loaded: load a map first");
    std::optional<MapFile> own;
    MapFile& file = OpenedFor(map, options, opened, own);
    LoadScriptData(map, state, file.Stream());
    std::optional<MapNames> ownNames;
    if (!options.names) ownNames.emplace(MapNames::Read(map, file.Stream()));
    const MapNames& mapNames = options.names ? *options.names : *ownNames;
    const NameResolver names(mapNames);
    const BuiltScripts built = BuildPhase(state, document, &names);
    const ScriptArrangement arrangement = CheckBeforeWrite(file.Stream(), map, state, built, &mapNames);

    WriteResult written = WriteScriptData(map, state, built, arrangement, file.Stream(),
                                          {options.output, options.recordFixups, options.journal, options.fixup});
    // The file changed under the map object: bring it up to what was written, so that the next
    // compile (the window's second "Compile Script") recompiles the file as it is now.
    if (!options.output) {
        const ScriptArrangement& a = arrangement;
        map.Moved(map.UpdateFromPoint(static_cast<std::int32_t>(a.scanStart), static_cast<std::int32_t>(a.insertionPoint),
                                      a.growth),
                  a.newLength);
    }

    CompileSummary summary;
    summary.scripts = static_cast<std::int32_t>(built.records.size());
    summary.slots = built.slots;
    summary.stringBytes = built.stringBytes;
    summary.growth = written.growth;
    summary.indexAddressesCorrected = written.indexAddressesCorrected;
    summary.scenarioAddressesCorrected = written.scenarioAddressesCorrected;
    summary.wordsCorrected = written.wordsCorrected;
    summary.fixups = std::move(written.fixups);
    summary.fallbacks = std::move(written.fallbacks);
    summary.leftAlone = std::move(written.leftAlone);
    return summary;
}

}  // namespace xsc
