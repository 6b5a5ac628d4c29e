#pragma once
// The compile command without its window: checks that a map is loaded, parses the script text
// and builds it into the loaded map in place. The window shows "done!" when it returns and the
// error's text when it throws.

class QString;

namespace xsc {

class HaloPcMap;
struct ScriptCompilier;

// Throws Error. A map that is not loaded is refused before anything is read or written;
// malformed XML is refused (with its line and column) before the map is touched.
void CompileScriptText(HaloPcMap& map, ScriptCompilier& state, const QString& scriptText);

}  // namespace xsc
