#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "engine/EngineBuild.h"

namespace xsc::cli {

struct ConvertArgs {
    std::string script;  // a path, or "-" for standard input
    std::optional<std::filesystem::path> output;
    engine::EngineBuild build = engine::kDefaultBuild;  // --engine: function numbers are this build's
};

// Converts a script into the other language (source to XML, XML to source) and prints it, or with
// an output path writes it there whole and prints one line. A source script with errors is refused
// after all its errors are printed. Throws Error for what cannot be converted.
void RunConvert(const ConvertArgs& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace xsc::cli
