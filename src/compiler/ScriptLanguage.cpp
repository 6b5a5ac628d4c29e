#include "compiler/ScriptLanguage.h"

namespace xsc::language {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

ExpressionKind ClassifyExpression(std::string_view elementName) {
    if (EqualsIgnoringCase(elementName, kScriptCommand)) return ExpressionKind::Call;
    if (EqualsIgnoringCase(elementName, kScriptValue)) return ExpressionKind::Value;
    if (EqualsIgnoringCase(elementName, kGlobalValue)) return ExpressionKind::Global;
    return ExpressionKind::Unknown;
}

}  // namespace xsc::language
