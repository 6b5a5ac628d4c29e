#pragma once
// The vocabulary of the XML script language: element and attribute names and the value type
// codes that choose how a literal is stored.
//
//   <AnyRoot>                                   document element, name and attributes unused
//     <AnyName NameAttr=".." TypeAttr="n" ReTypeAttr="n">     one script each
//       <ScriptCommand Command="name" EngineId="n" ValueType="n"> arguments </ScriptCommand>
//       <ScriptValue ValueType="n" ExpType="n" Value=".."/>
//       <GlobalValue ValueType="n" ExpType="n" Value=".." ValueCommand="name"/>
//       <ScriptCall Script="name" ValueType="n"/>
//       <GlobalReference ValueType="n" ValueCommand="name"/>
//     <ScenarioGlobal Name=".." ValueType="n"> one expression </ScenarioGlobal>   a scenario global
//
// A child of the document element is a global definition when it is named "ScenarioGlobal" and
// carries none of the script element's attributes (NameAttr, TypeAttr, ReTypeAttr): every other
// child is a script, whatever its name, as it always was.
// Element names and the words "true" and "false" are recognised in any letter case; attribute
// names are matched exactly.

#include <cstdint>
#include <string_view>

#include "runtime/Text.h"

namespace xsc {
struct XmlNode;
}

namespace xsc::language {

// Expression elements.
inline constexpr std::string_view kScriptCommand = "ScriptCommand";  // a function call
inline constexpr std::string_view kScriptValue = "ScriptValue";      // a literal
inline constexpr std::string_view kGlobalValue = "GlobalValue";      // a reference to a global
inline constexpr std::string_view kScriptCall = "ScriptCall";        // a call of a static script
inline constexpr std::string_view kGlobalReference = "GlobalReference";  // a global by its name alone

// Attributes of a script element.
inline constexpr std::string_view kNameAttr = "NameAttr";      // text: the script's name
inline constexpr std::string_view kTypeAttr = "TypeAttr";      // number: the script type
inline constexpr std::string_view kReTypeAttr = "ReTypeAttr";  // number: the return type

// A scenario global: its name, its value type, and one expression, its initial value.
inline constexpr std::string_view kScenarioGlobal = "ScenarioGlobal";
inline constexpr std::string_view kGlobalName = "Name";

// Attributes of expression elements.
inline constexpr std::string_view kCommand = "Command";            // text: the function's name
inline constexpr std::string_view kEngineId = "EngineId";          // number: the function's number
inline constexpr std::string_view kValueType = "ValueType";        // number: value type code
inline constexpr std::string_view kExpType = "ExpType";            // number: read, no effect
inline constexpr std::string_view kValue = "Value";                // text or number: the value
inline constexpr std::string_view kValueCommand = "ValueCommand";  // text: the global's name
inline constexpr std::string_view kScript = "Script";              // text: the called script's name

// The words of a boolean value.
inline constexpr std::string_view kTrue = "true";
inline constexpr std::string_view kFalse = "false";

// Value type codes with an encoding of their own; every other code stores its value as text.
inline constexpr std::int32_t kBooleanType = 5;  // "true"/"false", or text
inline constexpr std::int32_t kRealType = 6;     // 32-bit float of the written number
inline constexpr std::int32_t kShortType = 7;    // 16-bit integer
inline constexpr std::int32_t kLongType = 8;     // 32-bit integer
inline constexpr std::int32_t kScriptType = 10;  // a script of the document: its text and record index

enum class ExpressionKind { Call, Value, Global, ScriptCall, GlobalReference, Unknown };

// Which expression element a name denotes, ignoring letter case.
ExpressionKind ClassifyExpression(std::string_view elementName);

// Whether a child of the document element defines a scenario global rather than a script.
bool IsGlobalDefinition(const XmlNode& child);

using xsc::EqualsIgnoringCase;

}  // namespace xsc::language
