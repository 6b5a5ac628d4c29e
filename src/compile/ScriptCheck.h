#pragma once
// `xsc check` without the command line: everything known about a script without writing a byte.
//
//   errors    what a compile would refuse: malformed XML, elements the language does not know,
//             names of 32 bytes, ... (the compile's own build phase, run in memory), and with a
//             map, more node slots than its node data holds
//   warnings  ScriptWarnings (per build, when one is known), and more node slots than the game's
//             engine holds
//   with a map (CheckMap), every check the compile makes of the map before it writes
//   notes     names that are no engine global (they may be the scenario's own)
//
// Diagnostics come sorted by line and column; those about the script as a whole come last.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "compiler/Diagnostic.h"
#include "engine/EngineBuild.h"

namespace xsc {

class HaloPcMap;
class XmlDocument;

struct CheckOptions {
    std::optional<engine::EngineBuild> build = engine::kDefaultBuild;  // empty: no engine checks
    std::optional<std::int64_t> slotCapacity;  // the map's node data, when a map is given
};

std::vector<Diagnostic> CheckScript(const XmlDocument& document, const CheckOptions& options);

// What a compile of the document into `map` would find wrong with the map before its first write,
// found the way the compile finds it (LoadScriptData, BuildPhase and CheckArrangement on the
// scripts the document builds): at most one error, the compile's refusal; else a warning when the
// header gives the map a shorter length than the file has. Nothing when the document does not
// build (CheckScript reports why). Diagnostics about the map as a whole: line 0.
std::vector<Diagnostic> CheckMap(const XmlDocument& document, const HaloPcMap& map);
// Parses the script first: XML that is not well formed is one error.
std::vector<Diagnostic> CheckScriptText(std::string_view bytes, const CheckOptions& options);

}  // namespace xsc
