#include "CompileCommand.h"

#include <QString>

#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "compile/BuildScriptData.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc {

void CompileScriptText(HaloPcMap& map, ScriptCompilier& state, const QString& scriptText) {
    if (!map.f) {
        throw Error("No map is loaded. Choose File > Load map, then compile again.");
    }
    // Parsing drops whitespace-only text between elements, so scripts may be indented freely.
    const XmlDocument document = XmlDocument::LoadXml(scriptText);
    BuildScriptData(map, document, state);
}

}  // namespace xsc
