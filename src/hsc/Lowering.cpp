#include "hsc/Lowering.h"

#include "xml/ScriptLanguage.h"

namespace xsc::hsc {
namespace {

constexpr std::string_view kDocumentElement = "scripts";
constexpr std::string_view kScriptElement = "script";

void Attribute(XmlNode& element, std::string_view name, std::string value) { element.Attributes.emplace_back(name, std::move(value)); }

// Recursion follows the nesting of calls, which the parser bounds.
void LowerExpression(XmlTreeBuilder& builder, XmlNode& parent, const Expression& e) {
    const auto element = [&](std::string_view name) -> XmlNode& {
        return builder.AddElement(&parent, std::string(name), e.at.line, e.at.column, e.at.file);
    };
    switch (e.kind) {
        case Expression::Kind::Call: {
            XmlNode& call = element(language::kScriptCommand);
            Attribute(call, language::kCommand, e.text);
            Attribute(call, language::kEngineId, std::to_string(e.number));
            Attribute(call, language::kValueType, std::to_string(e.valueType));
            for (const Expression& argument : e.arguments) LowerExpression(builder, call, argument);
            break;
        }
        case Expression::Kind::ScriptCall: {
            XmlNode& call = element(language::kScriptCall);
            Attribute(call, language::kScript, e.text);
            Attribute(call, language::kValueType, std::to_string(e.valueType));
            break;
        }
        case Expression::Kind::Global: {
            XmlNode& global = element(language::kGlobalReference);
            Attribute(global, language::kValueType, std::to_string(e.valueType));
            Attribute(global, language::kValueCommand, e.text);
            break;
        }
        case Expression::Kind::Literal: {
            XmlNode& value = element(language::kScriptValue);
            Attribute(value, language::kValueType, std::to_string(e.valueType));
            Attribute(value, language::kValue, e.text);
            break;
        }
    }
}

}  // namespace

XmlDocument LowerProgram(const Program& program) {
    XmlTreeBuilder builder;
    XmlNode& root = builder.AddElement(nullptr, std::string(kDocumentElement), 1, 1);
    for (const Global& global : program.globals) {
        XmlNode& element = builder.AddElement(&root, std::string(language::kScenarioGlobal), global.at.line, global.at.column,
                                              global.at.file);
        Attribute(element, language::kGlobalName, global.name);
        Attribute(element, language::kValueType, std::to_string(global.type));
        LowerExpression(builder, element, global.initial);
    }
    for (const Script& script : program.scripts) {
        XmlNode& element =
            builder.AddElement(&root, std::string(kScriptElement), script.at.line, script.at.column, script.at.file);
        Attribute(element, language::kNameAttr, script.name);
        Attribute(element, language::kTypeAttr, std::to_string(script.type));
        Attribute(element, language::kReTypeAttr, std::to_string(script.returnType));
        for (const Expression& statement : script.statements) LowerExpression(builder, element, statement);
    }
    return builder.Finish();
}

}  // namespace xsc::hsc
