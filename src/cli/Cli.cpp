#include "Cli.h"

#include <CLI/CLI.hpp>

#include <istream>
#include <new>
#include <ostream>

#include "CompileCommand.h"
#include "DecompileCommand.h"
#include "InfoCommand.h"
#include "runtime/Error.h"

namespace xsc::cli {
namespace {

// "xsc: error: <file>: <message>", naming the file the message is about.
std::string ErrorLine(const Error& e, const std::string& map, const std::string& script, const std::string& output) {
    std::string file;
    switch (e.subject()) {
        case Error::Subject::Map: file = map; break;
        case Error::Subject::Script: file = script == "-" ? "<stdin>" : script; break;
        case Error::Subject::Output: file = output; break;
        case Error::Subject::General: break;
    }
    return "xsc: error: " + (file.empty() ? "" : file + ":") + (file.empty() || e.subject() == Error::Subject::Script ? "" : " ") +
           e.what();
}

}  // namespace

int RunXsc(int argc, const char* const* argv, std::istream& in, std::ostream& out, std::ostream& err) {
    CLI::App app{"xsc: compiles XML scripts into Halo PC map files", "xsc"};
    app.set_version_flag("--version", std::string("xsc ") + XSC_VERSION);
    app.require_subcommand(1);

    std::string infoMap;
    bool json = false;
    CLI::App* info = app.add_subcommand("info", "Show a map's header, scenario script fields and tags");
    info->add_option("MAP", infoMap, "The map file")->required();
    info->add_flag("--json", json, "Print one JSON object");

    CompileArgs compile;
    std::string mapPath;
    std::string outputPath;
    CLI::App* comp = app.add_subcommand("compile", "Compile an XML script into a map");
    comp->add_option("MAP", mapPath, "The map file (changed in place unless -o is given)")->required();
    comp->add_option("SCRIPT", compile.script, "The XML script, or - for standard input")->required();
    // An empty -o must not fall back to compiling MAP in place.
    const CLI::Validator notEmpty([](std::string& text) { return text.empty() ? std::string("must not be empty") : std::string(); },
                                  "");
    comp->add_option("-o,--output", outputPath, "Write the compiled map here and leave MAP untouched")->check(notEmpty);
    comp->add_flag("--fixups", compile.listFixups, "List every word the address fix-up corrected");

    std::string decompileMap;
    std::string decompileOutput;
    CLI::App* decomp = app.add_subcommand("decompile", "Print a map's compiled scripts as an XML script");
    decomp->add_option("MAP", decompileMap, "The map file")->required();
    decomp->add_option("-o,--output", decompileOutput, "Write the script here instead of printing it")->check(notEmpty);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e, out, err);  // --help, --version
        err << "xsc: error: " << e.what() << "\n" << "Run 'xsc --help' for usage.\n";
        return 2;
    }

    try {
        if (info->parsed()) {
            RunInfo(infoMap, json, out);
        } else if (decomp->parsed()) {
            DecompileArgs decompile{decompileMap, std::nullopt};
            if (!decompileOutput.empty()) decompile.output = decompileOutput;
            RunDecompile(decompile, out);
        } else {
            compile.map = mapPath;
            if (!outputPath.empty()) compile.output = outputPath;
            RunCompile(compile, in, out);
        }
    } catch (const Error& e) {
        const std::string& map = info->parsed() ? infoMap : decomp->parsed() ? decompileMap : mapPath;
        err << ErrorLine(e, map, compile.script, decomp->parsed() ? decompileOutput : outputPath) << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        // Nothing has been written when memory runs out: the tail is read before the first write.
        err << "xsc: error: out of memory (the part of the map behind the script data is held in memory)\n";
        return 1;
    }
    return 0;
}

}  // namespace xsc::cli
