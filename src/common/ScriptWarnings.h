#pragma once
// The engine checks of a parsed script: what compiles without a word but is likely to fail in the
// game. Per build (when one is given): function names, numbers (EngineId) and argument counts,
// value types against the parameters they stand for, and engine globals. For every script:
// number attributes that are not numbers, values the compile stores otherwise than written,
// script types and return types, duplicate script names, and calls nested too deep.
//
// Elements the compile refuses are skipped here; ScriptCheck reports them. Walks with an explicit
// stack, so any nesting depth is fine.

#include <optional>
#include <string_view>
#include <vector>

#include "common/Diagnostic.h"
#include "engine/EngineBuild.h"

namespace xsc {

// Said once where a script first defines a scenario global: the facts behind the globals' layout
// in the map are the public toolkits', not yet seen in a genuine map.
inline constexpr std::string_view kGlobalsLayoutNote =
    "scenario globals are laid out as public toolkits describe them (their records, and their index in every read); "
    "no genuine map with globals has confirmed it yet";

class XmlDocument;
namespace engine {
class EngineTables;
}

// Warnings and notes in document order. Without a build, no function or global is looked up.
std::vector<Diagnostic> ScriptWarnings(const XmlDocument& document, const engine::EngineTables& tables,
                                       std::optional<engine::EngineBuild> build);

}  // namespace xsc
