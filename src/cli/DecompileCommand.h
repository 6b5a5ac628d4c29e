#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>

#include "engine/EngineBuild.h"

namespace xsc::cli {

struct DecompileArgs {
    std::filesystem::path map;
    std::optional<std::filesystem::path> output;
    bool source = false;  // --hsc, or an output named .hsc: the source language
    std::optional<engine::EngineBuild> engine;  // for the source language: instead of the map's build
};

// Prints the map's compiled scripts as an XML script document, or in the source language for the
// map's build (or --engine's), or with an output path writes the script there whole (a temporary
// file beside it, renamed into place) and prints one line.
void RunDecompile(const DecompileArgs& args, std::ostream& out, std::ostream& err);

}  // namespace xsc::cli
