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
};

// Compiles the script into the map (or into a new file with -o) and prints one summary line;
// with listFixups also every word the fix-up corrected.
void RunCompile(const CompileArgs& args, std::istream& in, std::ostream& out);

}  // namespace xsc::cli
