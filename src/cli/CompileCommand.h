#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

namespace xsc::cli {

struct CompileArgs {
    std::filesystem::path map;
    std::string script;  // a path, or "-" for standard input
    std::optional<std::filesystem::path> output;
    bool listFixups = false;
    bool warnings = true;  // print the warnings of `xsc check` before compiling
    bool journal = true;   // in place: save what changes first, so a crash can be undone
};

// Compiles the script into the map (or into a new file with -o) and prints one summary line;
// with listFixups also every word the fix-up corrected. The warnings and notes of a check against
// the map's build go to `err` first, unless the compile is going to refuse the script; they change
// nothing in what is written.
void RunCompile(const CompileArgs& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace xsc::cli
