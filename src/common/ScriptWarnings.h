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
#include <vector>

#include "common/Diagnostic.h"
#include "engine/EngineBuild.h"

namespace xsc {

class XmlDocument;
namespace engine {
class EngineTables;
}

// Warnings and notes in document order. Without a build, no function or global is looked up.
std::vector<Diagnostic> ScriptWarnings(const XmlDocument& document, const engine::EngineTables& tables,
                                       std::optional<engine::EngineBuild> build);

}  // namespace xsc
