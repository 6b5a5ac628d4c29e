#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace xsc::cli {

// The kinds `xsc names` shows, in its order: objects, trigger_volumes, ..., navpoints, tags.
std::vector<std::string> NameKinds();

// `xsc names MAP [KIND] [--json]`: everything a script can name in the map, by kind (`kind` empty:
// every kind), with each name's index (what a value naming it stores); objects with the type of
// what is placed under them, encounters with their squads and platoons, tags with their IDs.
// Returns the exit code: 1 when a kind shown cannot be read (a damaged block), else 0.
int RunNames(const std::filesystem::path& map, const std::string& kind, bool json, std::ostream& out, std::ostream& err);

}  // namespace xsc::cli
