#include "xml/ExpressionCheck.h"

#include <string>
#include <vector>

#include "common/Diagnostic.h"
#include "xml/ScriptIndex.h"
#include "xml/ScriptLanguage.h"
#include "runtime/Error.h"
#include "runtime/Val.h"
#include "runtime/XmlDocument.h"

namespace xsc {
namespace {

constexpr std::size_t kExcerptBytes = 24;

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The start of a text for a message: its first line, trimmed, cut at a character boundary.
std::string Excerpt(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    std::string line = text.substr(first, text.find_first_of("\r\n", first) - first);
    const bool cut = line.size() > kExcerptBytes;
    if (cut) {
        std::size_t end = kExcerptBytes;
        while (end > 0 && IsContinuationByte(line[end])) --end;
        line.resize(end);
    }
    line.erase(line.find_last_not_of(" \t") + 1);
    return cut ? line + "..." : line;
}

[[noreturn]] void Refuse(const XmlNode& node, const std::string& problem) {
    throw Error::AtScript(problem, node.Line, node.Column, node.File);
}

const std::string kExpected = "(expected " + std::string(language::kScriptCommand) + ", " +
                              std::string(language::kScriptValue) + ", " + std::string(language::kGlobalValue) + ", " +
                              std::string(language::kScriptCall) + " or " + std::string(language::kGlobalReference) + ")";

void CheckValueElement(const XmlNode& element) {
    if (element.ChildCount() > 0) {
        Refuse(element.Child(0), "\"" + element.Name + "\" cannot contain elements or text");
    }
}

void PushChildren(const XmlNode& element, std::vector<const XmlNode*>& pending) {
    // In reverse, so that the first child is checked first and errors come in document order.
    for (std::size_t i = element.ChildCount(); i-- > 0;) pending.push_back(&element.Child(i));
}

void CheckScriptName(const XmlNode& element, std::string_view attribute, const ScriptIndex& scripts) {
    const std::string name = element.GetAttribute(attribute);
    if (!scripts.Find(name)) Refuse(element, "no script of this document is named " + Quoted(name));
}

void CheckExpression(const XmlNode& node, const ScriptIndex& scripts, std::vector<const XmlNode*>& pending) {
    if (!node.IsElement()) {
        Refuse(node, "text \"" + Excerpt(node.Text) + "\" is not allowed here " + kExpected);
    }
    switch (language::ClassifyExpression(node.Name)) {
        case language::ExpressionKind::Call: PushChildren(node, pending); break;
        case language::ExpressionKind::Value:
            CheckValueElement(node);
            if (NumberAttribute(node.GetAttribute(language::kValueType)) == language::kScriptType) {
                CheckScriptName(node, language::kValue, scripts);
            }
            break;
        case language::ExpressionKind::ScriptCall:
            CheckValueElement(node);
            CheckScriptName(node, language::kScript, scripts);
            break;
        case language::ExpressionKind::Global:
        case language::ExpressionKind::GlobalReference: CheckValueElement(node); break;
        case language::ExpressionKind::Unknown:
            Refuse(node, "unknown element \"" + node.Name + "\" " + kExpected);
    }
}

}  // namespace

void CheckExpressions(const XmlNode& parent, const ScriptIndex& scripts) {
    std::vector<const XmlNode*> pending;  // nodes that stand where an expression may stand
    PushChildren(parent, pending);
    while (!pending.empty()) {
        const XmlNode& node = *pending.back();
        pending.pop_back();
        CheckExpression(node, scripts, pending);
    }
}

}  // namespace xsc
