#pragma once
// The compile command without its window, in two steps. The check reads the script field's text
// in either language (told by its first character that is not blank, as `xsc compile` tells
// standard input) for the build the loaded map's header names, and builds what the compile needs;
// the window shows what it found. The compile then builds that into the loaded map in place.

#include <optional>
#include <string>
#include <vector>

#include "common/Diagnostic.h"
#include "runtime/XmlDocument.h"

class QString;

namespace xsc {

class HaloPcMap;
struct ScriptCompilier;

struct CheckedForCompile {
    std::optional<XmlDocument> document;  // what the compile builds; empty when there are errors
    std::vector<Diagnostic> errors;       // sorted by line and column, those of the whole script last
    std::vector<Diagnostic> warnings;     // the same; notes are left out
    std::vector<Diagnostic> mapWarnings;  // what a compile into the map warns of (line 0)
    std::string recovered;                // what opening the map undid of an interrupted compile
};

// Throws Error when there is nothing to check: no map is loaded (said before the script is read),
// the map's header names a build xsc does not know and the script is in the source language, or
// the XML is malformed (with its line and column, as the compile has always said it).
CheckedForCompile CheckScriptForCompile(const HaloPcMap& map, const QString& scriptText);

// The loaded map's scripts and globals as text of the source language for the build its header
// names, ready to edit and compile back: what `xsc decompile --hsc` writes. Throws Error when no map
// is loaded, its build is not known, or its scripts cannot be read.
std::string DecompileLoadedMap(const HaloPcMap& map);

// Builds a checked document into the loaded map in place. Throws Error; a refused compile leaves
// the map as it was.
void CompileCheckedScript(HaloPcMap& map, ScriptCompilier& state, const XmlDocument& document);

}  // namespace xsc
