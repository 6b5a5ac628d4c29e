#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>

namespace xsc::cli {

struct DecompileArgs {
    std::filesystem::path map;
    std::optional<std::filesystem::path> output;
};

// Prints the map's compiled scripts as an XML script document, or with an output path writes
// the document there whole (a temporary file beside it, renamed into place) and prints one line.
void RunDecompile(const DecompileArgs& args, std::ostream& out, std::ostream& err);

}  // namespace xsc::cli
