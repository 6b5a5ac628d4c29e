#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "engine/EngineBuild.h"
#include "map/UpdateFromPoint.h"

namespace xsc::cli {

struct CompileArgs {
    std::filesystem::path map;
    // A path, or "-" for standard input; several source files (or folders of them) make one program.
    std::vector<std::string> scripts;
    // --engine: the build to compile and check for, instead of the one the map's header names.
    std::optional<engine::EngineBuild> engine;
    std::optional<std::filesystem::path> output;
    bool listFixups = false;
    bool warnings = true;  // print the warnings of `xsc check` before compiling
    bool journal = true;   // in place: save what changes first, so a crash can be undone
    FixupMode fixup = FixupMode::Walk;  // --fixup: walk the tag layouts, or the word scan alone
};

// Compiles the script, in either language, into the map (or into a new file with -o) and prints
// one summary line; with listFixups also every word the fix-up corrected. The warnings and notes
// of a check against the build go to `err` first, unless the compile is going to refuse the
// script; they change nothing in what is written. A script in the source language with errors is
// refused after all its errors are printed; it needs a known build (the map's, or --engine).
void RunCompile(const CompileArgs& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace xsc::cli
