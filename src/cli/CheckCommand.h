#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "engine/EngineBuild.h"

namespace xsc::cli {

struct CheckArgs {
    // A path, or "-" for standard input; several source files (or folders of them) make one program.
    std::vector<std::string> scripts;
    std::optional<engine::EngineBuild> engine;  // --engine; the custom build when neither is given
    std::optional<std::filesystem::path> map;   // --map: the build and the slot capacity from it
    bool werror = false;
};

// Prints the diagnostics and a summary line; returns the exit code: 1 when the compile would
// refuse the script (or, with werror, on any warning), else 0. Writes nothing. Throws Error when
// the script or the map cannot be read.
int RunCheck(const CheckArgs& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace xsc::cli
