#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>

namespace xsc::cli {

// Prints the map's header values, the scenario's script fields and the tag list, as an aligned
// text report or (json) as one JSON object.
void RunInfo(const std::filesystem::path& map, bool json, std::ostream& out, std::ostream& err);

// `xsc info MAP --tag PATH`: for each tag with that path (or PATH.CLASS), its data's place and the
// address fields its class's layout names, with what each designates; or why the layout cannot
// be walked (a compile gives such a tag the word scan). Returns the exit code: 1 when no tag has
// the path.
int RunInfoTag(const std::filesystem::path& map, const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace xsc::cli
