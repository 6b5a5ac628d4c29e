#pragma once

#include <filesystem>
#include <iosfwd>

namespace xsc::cli {

// Prints the map's header values, the scenario's script fields and the tag list, as an aligned
// text report or (json) as one JSON object.
void RunInfo(const std::filesystem::path& map, bool json, std::ostream& out, std::ostream& err);

}  // namespace xsc::cli
