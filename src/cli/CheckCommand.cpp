#include "CheckCommand.h"

#include <ostream>

#include "Diagnostics.h"
#include "MapOpening.h"
#include "ScriptFile.h"
#include "compile/ScriptCheck.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/Utf8Path.h"

namespace xsc::cli {

int RunCheck(const CheckArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    const ScriptProgram program = ReadScripts(args.scripts, in, std::nullopt);
    CheckOptions options;
    if (args.engine) options.build = *args.engine;
    std::vector<Diagnostic> aboutMap;
    std::optional<OpenedMap> map;
    std::optional<MapNames> names;
    std::optional<NameResolver> resolver;
    if (args.map) {
        map.emplace(OpenMapForCommand(*args.map, MapFile::Access::Read, err));
        const MapBuild mapBuild = BuildOfMap(map->Stream());
        options.build = mapBuild.build;
        if (mapBuild.note) aboutMap.push_back(*mapBuild.note);
        options.names = &resolver.emplace(names.emplace(MapNames::Read(map->map, map->Stream())));
    }

    const std::string& label = program.label;
    const CheckedScript checked = program.language == ScriptLanguage::Source
                                      ? CheckSources(program.SourceFiles(), options)
                                      : CheckScriptText(program.files.front().bytes, program.language, options);
    const std::vector<Diagnostic>& diagnostics = checked.diagnostics;
    // A script with errors does not build: the map is checked only for one that does.
    if (map && checked.document) {
        const std::vector<Diagnostic> found = CheckMap(*checked.document, map->map, map->Stream());
        aboutMap.insert(aboutMap.end(), found.begin(), found.end());
    }
    DiagnosticCounts counts = CountDiagnostics(diagnostics);
    const DiagnosticCounts mapCounts = CountDiagnostics(aboutMap);
    counts.errors += mapCounts.errors;
    counts.warnings += mapCounts.warnings;
    counts.notes += mapCounts.notes;
    if (map) PrintDiagnostics(aboutMap, Utf8(*args.map), out);
    PrintDiagnostics(diagnostics, label, out);
    out << CheckSummary(label, counts, options.build) << "\n";
    return counts.errors > 0 || (args.werror && counts.warnings > 0) ? 1 : 0;
}

}  // namespace xsc::cli
