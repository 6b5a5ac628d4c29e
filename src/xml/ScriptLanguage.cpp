#include "xml/ScriptLanguage.h"

#include "runtime/XmlDocument.h"

namespace xsc::language {

ExpressionKind ClassifyExpression(std::string_view elementName) {
    if (EqualsIgnoringCase(elementName, kScriptCommand)) return ExpressionKind::Call;
    if (EqualsIgnoringCase(elementName, kScriptValue)) return ExpressionKind::Value;
    if (EqualsIgnoringCase(elementName, kGlobalValue)) return ExpressionKind::Global;
    if (EqualsIgnoringCase(elementName, kScriptCall)) return ExpressionKind::ScriptCall;
    if (EqualsIgnoringCase(elementName, kGlobalReference)) return ExpressionKind::GlobalReference;
    return ExpressionKind::Unknown;
}

bool IsGlobalDefinition(const XmlNode& child) {
    return child.IsElement() && EqualsIgnoringCase(child.Name, kScenarioGlobal) && !child.HasAttribute(kNameAttr) &&
           !child.HasAttribute(kTypeAttr) && !child.HasAttribute(kReTypeAttr);
}

}  // namespace xsc::language
