#include "CompileCommand.h"

#include <cstdio>
#include <cstring>
#include <ostream>
#include <sstream>

#include "Diagnostics.h"
#include "MapOpening.h"
#include "ScriptFile.h"
#include "compile/ScriptCheck.h"
#include "map/HaloPcMap.h"
#include "runtime/XmlDocument.h"
#include "compile/BuildScriptData.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc::cli {
namespace {

float AsFloat(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// "grew by 108 bytes", "shrank by 40 bytes", "kept its length" (a recompile of the same size).
std::string SizeChange(std::int32_t growth) {
    if (growth == 0) return "kept its length";
    return (growth > 0 ? "grew by " : "shrank by ") + std::to_string(growth > 0 ? std::int64_t{growth} : -std::int64_t{growth}) +
           " bytes";
}

void PrintFixups(const CompileSummary& summary, std::ostream& out) {
    out << "corrected words (file offset after the move, old -> new, old read as a float):\n";
    char line[128];
    for (const CorrectedWord& w : summary.fixups) {
        std::snprintf(line, sizeof line, "  0x%08llx  0x%08x -> 0x%08x  (%g)\n",
                      static_cast<unsigned long long>(w.fileOffset), w.oldValue, w.newValue,
                      static_cast<double>(AsFloat(w.oldValue)));
        out << line;
    }
}

// Nothing when the compile is going to refuse the script: it then prints its one error alone.
void PrintWarnings(const XmlDocument& document, const CompileArgs& args, std::ostream& err) {
    const MapBuild mapBuild = BuildOfMap(args.map);
    CheckOptions options;
    options.build = mapBuild.build;
    const std::vector<Diagnostic> warnings = CheckScript(document, options);
    if (CountDiagnostics(warnings).errors > 0) return;
    if (mapBuild.note) PrintDiagnostics({*mapBuild.note}, args.map.string(), err);
    PrintDiagnostics(warnings, ScriptLabel(args.script), err);
}

}  // namespace

void RunCompile(const CompileArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    const XmlDocument document = XmlDocument::LoadXml(ReadScript(args.script, in));
    HaloPcMap map = OpenMapForCommand(args.map, err);
    if (args.warnings) PrintWarnings(document, args, err);
    ScriptCompilier state;
    CompileOptions options;
    options.output = args.output;
    options.recordFixups = args.listFixups;
    options.journal = args.journal;
    const CompileSummary summary = BuildScriptData(map, document, state, options);

    const std::filesystem::path& written = args.output ? *args.output : args.map;
    out << "compiled " << summary.scripts << (summary.scripts == 1 ? " script" : " scripts") << " into "
        << written.string() << ": " << summary.slots << " node slots, " << summary.stringBytes
        << " string bytes, " << SizeChange(summary.growth) << ", "
        << summary.wordsCorrected + summary.indexAddressesCorrected + summary.scenarioAddressesCorrected
        << " words corrected (" << summary.indexAddressesCorrected << " in the tag index";
    if (summary.scenarioAddressesCorrected != 0) out << ", " << summary.scenarioAddressesCorrected << " in the scenario";
    out << ")\n";
    if (args.listFixups) PrintFixups(summary, out);
}

}  // namespace xsc::cli
