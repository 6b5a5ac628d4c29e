#include "CompileCommand.h"

#include <cstdio>
#include <cstring>
#include <ostream>
#include <sstream>

#include "Diagnostics.h"
#include "FixupReport.h"
#include "MapOpening.h"
#include "ScriptFile.h"
#include "compile/ScriptCheck.h"
#include "map/HaloPcMap.h"
#include "runtime/BinaryStream.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"
#include "runtime/XmlDocument.h"
#include "compile/BuildScriptData.h"
#include "compile/NameCheck.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc::cli {
namespace {

// "grew by 108 bytes", "shrank by 40 bytes", "kept its length" (a recompile of the same size).
std::string SizeChange(std::int32_t growth) {
    if (growth == 0) return "kept its length";
    return (growth > 0 ? "grew by " : "shrank by ") + std::to_string(growth > 0 ? std::int64_t{growth} : -std::int64_t{growth}) +
           " bytes";
}

// The build to check and compile for: --engine's, else the one the map's header names. A warning
// says when they differ.
MapBuild CompileBuild(const CompileArgs& args, BinaryStream& map, std::ostream& err) {
    MapBuild mapBuild = BuildOfMap(map);
    if (!args.engine) return mapBuild;
    if (mapBuild.build && *mapBuild.build != *args.engine) {
        PrintDiagnostics({{Diagnostic::Severity::Warning, 0, 0,
                           "the map's header names the " + std::string(engine::BuildName(*mapBuild.build)) +
                               " build; compiling for the " + std::string(engine::BuildName(*args.engine)) +
                               " build as --engine says"}},
                         Utf8(args.map), err);
    }
    return {args.engine, std::nullopt};
}

// The script as the compile builds it, and what its check found (no error among them).
struct CheckedForCompile {
    XmlDocument document;
    std::vector<Diagnostic> diagnostics;
};

// Prints the errors among `diagnostics` and refuses the compile when there is one.
void RefuseErrors(const std::vector<Diagnostic>& diagnostics, const std::string& label, std::ostream& err) {
    std::vector<Diagnostic> errors;
    for (const Diagnostic& d : diagnostics) {
        if (d.severity == Diagnostic::Severity::Error) errors.push_back(d);
    }
    if (errors.empty()) return;
    PrintDiagnostics(errors, label, err);
    throw Error(label + ": " + std::to_string(errors.size()) + (errors.size() == 1 ? " error" : " errors") +
                "; the map was not changed");
}

// A script in the source language, checked whole before the compile: every error is printed,
// then the compile is refused.
CheckedForCompile CheckedSource(const ScriptProgram& program, const CompileArgs& args, const MapBuild& mapBuild,
                                const NameResolver& names, std::ostream& err) {
    const std::string& label = program.label;
    if (!mapBuild.build) {
        if (mapBuild.note) PrintDiagnostics({*mapBuild.note}, Utf8(args.map), err);
        throw Error("a script in the source language is compiled for one build of the game, and the map's is not known: "
                    "name it with --engine retail, custom or demo",
                    Error::Subject::Map);
    }
    CheckOptions options;
    options.build = mapBuild.build;
    options.names = &names;
    CheckedScript checked = CheckSources(program.SourceFiles(), options);
    RefuseErrors(checked.diagnostics, label, err);
    return {std::move(*checked.document), std::move(checked.diagnostics)};
}

// Nothing when the compile is going to refuse the script or the map: it then prints its one error
// alone.
void PrintWarnings(const XmlDocument& document, const std::vector<Diagnostic>& warnings, OpenedMap& opened,
                   const MapBuild& mapBuild, const CompileArgs& args, const std::string& label, std::ostream& err) {
    std::vector<Diagnostic> aboutMap = CheckMap(document, opened.map, opened.Stream());
    if (CountDiagnostics(warnings).errors > 0 || CountDiagnostics(aboutMap).errors > 0) return;
    if (mapBuild.note) aboutMap.insert(aboutMap.begin(), *mapBuild.note);
    PrintDiagnostics(aboutMap, Utf8(args.map), err);
    PrintDiagnostics(warnings, label, err);
}

}  // namespace

void RunCompile(const CompileArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    const ScriptProgram program = ReadScripts(args.scripts, in, args.map);
    const bool source = program.language == ScriptLanguage::Source;
    std::optional<XmlDocument> xml;
    if (!source) xml = XmlDocument::LoadXml(program.files.front().bytes);  // malformed XML is said before the map is opened

    // One handle and one lock on the map from here to the last write.
    OpenedMap opened =
        OpenMapForCommand(args.map, args.output ? MapFile::Access::Read : MapFile::Access::Write, err);
    HaloPcMap& map = opened.map;
    CheckOutputIsNotTheMap(map, args.output);
    // The map's named things, read once: the check and the compile look names up in them.
    const MapNames names = MapNames::Read(map, opened.Stream());
    const NameResolver resolver(names);
    std::optional<MapBuild> mapBuild;
    std::optional<CheckedForCompile> checked;
    if (source) {
        mapBuild = CompileBuild(args, opened.Stream(), err);
        checked = CheckedSource(program, args, *mapBuild, resolver, err);
    } else {
        // Every name the map lacks is said, each at its line and column, before the compile refuses.
        RefuseErrors(CheckNames(*xml, &resolver), program.label, err);
        checked = CheckedForCompile{std::move(*xml), {}};
    }
    if (args.warnings) {
        if (!source) {
            mapBuild = CompileBuild(args, opened.Stream(), err);
            CheckOptions options;
            options.build = mapBuild->build;
            options.names = &resolver;
            checked->diagnostics = CheckScript(checked->document, options);
        }
        PrintWarnings(checked->document, checked->diagnostics, opened, *mapBuild, args, program.label, err);
    }
    ScriptCompilier state;
    CompileOptions options;
    options.output = args.output;
    options.recordFixups = args.listFixups;
    options.journal = args.journal;
    options.names = &names;
    options.fixup = args.fixup;
    const CompileSummary summary = BuildScriptData(map, checked->document, state, options, &opened.file);

    const std::filesystem::path& written = args.output ? *args.output : args.map;
    out << "compiled " << summary.scripts << (summary.scripts == 1 ? " script" : " scripts") << " into "
        << Utf8(written) << ": " << summary.slots << " node slots, " << summary.stringBytes
        << " string bytes, " << SizeChange(summary.growth) << ", "
        << summary.wordsCorrected + summary.indexAddressesCorrected + summary.scenarioAddressesCorrected
        << " words corrected (" << summary.indexAddressesCorrected << " in the tag index";
    if (summary.scenarioAddressesCorrected != 0) out << ", " << summary.scenarioAddressesCorrected << " in the scenario";
    out << ")\n";
    if (args.listFixups) {
        PrintFixups(map, summary, args.fixup, out);
    } else {
        PrintFallbackSummary(map, summary, out);
    }
}

}  // namespace xsc::cli
