#include "CheckCommand.h"

#include <ostream>

#include "Diagnostics.h"
#include "MapOpening.h"
#include "ScriptFile.h"
#include "compile/ScriptCheck.h"
#include "scriptdata/ScenarioScriptFields.h"

namespace xsc::cli {

int RunCheck(const CheckArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    const std::string script = ReadScript(args.script, in);
    CheckOptions options;
    if (args.engine) options.build = *args.engine;
    std::optional<Diagnostic> mapNote;
    if (args.map) {
        const HaloPcMap map = OpenMapForCommand(*args.map, err);
        options.slotCapacity = ReadScenarioScriptFields(map).slotCapacity;
        const MapBuild mapBuild = BuildOfMap(*args.map);
        options.build = mapBuild.build;
        mapNote = mapBuild.note;
    }

    const std::string label = ScriptLabel(args.script);
    const std::vector<Diagnostic> diagnostics = CheckScriptText(script, options);
    DiagnosticCounts counts = CountDiagnostics(diagnostics);
    if (mapNote) {
        PrintDiagnostics({*mapNote}, args.map->string(), out);
        ++counts.notes;
    }
    PrintDiagnostics(diagnostics, label, out);
    out << CheckSummary(label, counts, options.build) << "\n";
    return counts.errors > 0 || (args.werror && counts.warnings > 0) ? 1 : 0;
}

}  // namespace xsc::cli
