#include "Cli.h"

#include <CLI/CLI.hpp>

#include <functional>
#include <istream>
#include <new>
#include <ostream>

#include "CheckCommand.h"
#include "CompileCommand.h"
#include "ConvertCommand.h"
#include "DecompileCommand.h"
#include "FunctionsCommand.h"
#include "InfoCommand.h"
#include "MapOpening.h"
#include "NamesCommand.h"
#include "lsp/StdioServer.h"
#include "runtime/Error.h"
#include "runtime/Utf8Path.h"

namespace xsc::cli {
namespace {

// The files a command was given, which its error lines name.
struct Files {
    std::string map;
    std::string script;  // the first script a command was given
    std::vector<std::string> scripts;
    std::string output;
};

// "xsc: error: <file>: <message>", naming the file the message is about.
std::string ErrorLine(const Error& e, const Files& files) {
    std::string file;
    switch (e.subject()) {
        case Error::Subject::Map: file = files.map; break;
        case Error::Subject::Script: file = files.script == "-" ? "<stdin>" : files.script; break;
        case Error::Subject::Output: file = files.output; break;
        case Error::Subject::General: break;
    }
    // A script position follows the file name without a space ("script.xml:12:5: ...").
    return "xsc: error: " + (file.empty() ? "" : file + ":") + (file.empty() || e.line() > 0 ? "" : " ") + e.what();
}

// An empty path must not fall back to something else (an empty -o compiled MAP in place).
const CLI::Validator kNotEmpty([](std::string& text) { return text.empty() ? std::string("must not be empty") : std::string(); },
                               "");

const std::string kScriptHelp =
    "The script: .hsc in the source language, .xml in the XML language (another name, or - for standard input: by its "
    "first character, ( or ; for source)";

const std::string kSeveralScriptsHelp =
    kScriptHelp + "; several .hsc files, or a folder (every .hsc file in it, in name order), make one program";

std::vector<std::string> BuildNames() {
    std::vector<std::string> names;
    for (const engine::EngineBuild build : engine::kEngineBuilds) names.emplace_back(engine::BuildName(build));
    return names;
}

}  // namespace

int RunXsc(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err) {
    CLI::App app{"xsc: compiles scripts into Halo PC map files", "xsc"};
    app.set_version_flag("--version", std::string("xsc ") + XSC_VERSION);
    // "/maps/level.map" is a file name, never an option, on every system (CLI11 takes "/name" for
    // an option on Windows unless told otherwise; subcommands inherit this).
    app.allow_windows_style_options(false);
    app.require_subcommand(1);
    Files files;
    // Each subcommand, with what it runs once its options are parsed (returning the exit code).
    std::vector<std::pair<CLI::App*, std::function<int()>>> commands;

    bool json = false;
    CLI::App* info = app.add_subcommand("info", "Show a map's header, engine, scenario script fields and tags");
    info->add_option("MAP", files.map, "The map file")->required();
    info->add_flag("--json", json, "Print one JSON object");
    std::string infoTag;
    info->add_option("--tag", infoTag,
                     "Show the address fields of the tags with this path (or PATH.CLASS) by their layout")
        ->excludes("--json");
    commands.emplace_back(info, [&] {
        if (!infoTag.empty()) return RunInfoTag(PathFromUtf8(files.map), infoTag, out, err);
        return RunInfo(PathFromUtf8(files.map), json, out, err), 0;
    });

    const std::vector<std::string> buildNames = BuildNames();
    CompileArgs compile;
    bool noWarnings = false;
    bool noJournal = false;
    std::string compileEngine;
    CLI::App* comp = app.add_subcommand("compile", "Compile a script into a map (again as often as you like)");
    comp->add_option("MAP", files.map, "The map file (changed in place unless -o is given)")->required();
    comp->add_option("SCRIPT", files.scripts, kSeveralScriptsHelp)->required();
    comp->add_option("-o,--output", files.output, "Write the compiled map here and leave MAP untouched")->check(kNotEmpty);
    comp->add_flag("--fixups", compile.listFixups,
                   "List every word the address fix-up corrected, with its tag and field, and the words in range it "
                   "left alone");
    std::string fixupMode = "walk";
    comp->add_option("--fixup", fixupMode,
                     "How addresses are told from other words: walk (the tag layouts; the default) or scan (every "
                     "word in range, as earlier versions did)")
        ->check(CLI::IsMember({"walk", "scan"}))
        ->capture_default_str();
    comp->add_flag("--no-warnings", noWarnings, "Do not print the warnings of 'xsc check' before compiling");
    comp->add_option("--engine", compileEngine, "Compile for this game build (retail, custom or demo) instead of the map's")
        ->check(CLI::IsMember(buildNames));
    comp->add_flag("--no-journal", noJournal,
                   "Unsafe: compile in place without saving what changes first, so a crash part-way leaves a broken "
                   "map (a little faster)");
    commands.emplace_back(comp, [&] {
        compile.map = PathFromUtf8(files.map);
        compile.scripts = files.scripts;
        if (!files.output.empty()) compile.output = PathFromUtf8(files.output);
        compile.warnings = !noWarnings;
        compile.journal = !noJournal;
        compile.fixup = fixupMode == "scan" ? FixupMode::Scan : FixupMode::Walk;
        if (!compileEngine.empty()) compile.engine = engine::ParseBuildName(compileEngine);
        RunCompile(compile, in, out, err);
        return 0;
    });

    std::string functionsPattern;
    std::string functionsEngine(engine::BuildName(engine::kDefaultBuild));
    bool functionsJson = false;
    CLI::App* functions = app.add_subcommand("functions", "List the game's script functions and their numbers");
    functions->add_option("PATTERN", functionsPattern, "Only functions whose name contains this");
    functions->add_option("--engine", functionsEngine, "The game build: retail, custom or demo")
        ->check(CLI::IsMember(buildNames))
        ->capture_default_str();
    functions->add_flag("--json", functionsJson, "Print one JSON object");
    commands.emplace_back(functions, [&] {
        RunFunctions(functionsPattern, *engine::ParseBuildName(functionsEngine), functionsJson, out);
        return 0;
    });

    CheckArgs check;
    std::string checkEngine;
    CLI::App* chk = app.add_subcommand("check", "Check a script against the game's engine without writing anything");
    chk->add_option("SCRIPT", files.scripts, kSeveralScriptsHelp)->required();
    CLI::Option* engineOption = chk->add_option("--engine", checkEngine, "The game build: retail, custom (default) or demo")
                                    ->check(CLI::IsMember(buildNames));
    chk->add_option("--map", files.map, "Take the build and the node slot capacity from this map")
        ->check(kNotEmpty)
        ->excludes(engineOption);
    chk->add_flag("--werror", check.werror, "Fail (exit 1) on warnings too");
    commands.emplace_back(chk, [&] {
        check.scripts = files.scripts;
        if (!checkEngine.empty()) check.engine = engine::ParseBuildName(checkEngine);
        if (!files.map.empty()) check.map = PathFromUtf8(files.map);
        return RunCheck(check, in, out, err);
    });

    std::string namesKind;
    bool namesJson = false;
    CLI::App* names = app.add_subcommand("names", "List what a script can name in a map: objects, trigger volumes, encounters, tags, ...");
    names->add_option("MAP", files.map, "The map file")->required();
    names->add_option("KIND", namesKind, "Only this kind")->check(CLI::IsMember(NameKinds()));
    names->add_flag("--json", namesJson, "Print one JSON object");
    commands.emplace_back(names, [&] { return RunNames(PathFromUtf8(files.map), namesKind, namesJson, out, err); });

    CLI::App* recover = app.add_subcommand(
        "recover", "Undo a compile of MAP that a crash or a kill interrupted (every command that opens a map does this)");
    recover->add_option("MAP", files.map, "The map file")->required();
    commands.emplace_back(recover, [&] { return RunRecover(PathFromUtf8(files.map), out); });

    DecompileArgs decompile;
    std::string decompileEngine;
    CLI::App* decomp = app.add_subcommand("decompile", "Print a map's compiled scripts as an XML script, or with --hsc as source");
    decomp->add_option("MAP", files.map, "The map file")->required();
    decomp->add_option("-o,--output", files.output, "Write the script here instead of printing it (a name ending in .hsc: source)")
        ->check(kNotEmpty);
    decomp->add_flag("--hsc", decompile.source, "Write the source language (.hsc) instead of XML");
    decomp->add_option("--engine", decompileEngine, "Write the source for this game build (retail, custom or demo) instead of the map's")
        ->check(CLI::IsMember(buildNames));
    commands.emplace_back(decomp, [&] {
        decompile.map = PathFromUtf8(files.map);
        if (!files.output.empty()) decompile.output = PathFromUtf8(files.output);
        if (!decompileEngine.empty()) decompile.engine = engine::ParseBuildName(decompileEngine);
        RunDecompile(decompile, out, err);
        return 0;
    });

    ConvertArgs convert;
    std::string convertEngine(engine::BuildName(engine::kDefaultBuild));
    CLI::App* conv = app.add_subcommand("convert", "Convert a script between the source language (.hsc) and XML");
    conv->add_option("SCRIPT", files.script, kScriptHelp)->required();
    conv->add_option("-o,--output", files.output, "Write the converted script here instead of printing it")->check(kNotEmpty);
    conv->add_option("--engine", convertEngine, "The game build whose function numbers the XML holds: retail, custom or demo")
        ->check(CLI::IsMember(buildNames))
        ->capture_default_str();
    commands.emplace_back(conv, [&] {
        convert.script = files.script;
        if (!files.output.empty()) convert.output = PathFromUtf8(files.output);
        convert.build = *engine::ParseBuildName(convertEngine);
        RunConvert(convert, in, out, err);
        return 0;
    });

    CLI::App* lsp = app.add_subcommand(
        "lsp", "Run the language server for editors on standard input and output (see docs/editors.md)");
    commands.emplace_back(lsp, [] { return lsp::RunStdioServer(); });

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e, out, err);  // --help, --version
        err << "xsc: error: " << e.what() << "\n" << "Run 'xsc --help' for usage.\n";
        return 2;
    }

    if (!files.scripts.empty()) files.script = files.scripts.front();
    try {
        for (const auto& [command, run] : commands) {
            if (command->parsed()) return run();
        }
    } catch (const Error& e) {
        err << ErrorLine(e, files) << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        err << "xsc: error: out of memory; the map was not changed\n";
        return 1;
    }
    return 0;
}

}  // namespace xsc::cli
