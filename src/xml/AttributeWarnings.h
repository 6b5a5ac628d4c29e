#pragma once
// What a compile does silently with attribute texts that were probably meant otherwise: a number
// attribute that is not a number reads as its leading number or 0, a short keeps its low 16 bits,
// a whole real beyond 32 bits wraps, a boolean that is neither "true" nor "false" is stored as
// text.
// Each function gives the problem as a message, or nothing when the text is fine.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace xsc {

struct XmlNode;

// A number attribute that is absent or not wholly a number.
std::optional<std::string> NumberAttributeProblem(const XmlNode& element, std::string_view attribute);

// The Value of a "ScriptValue" as its value type stores it (boolean, real, short and long; other
// types store the text as it is).
std::optional<std::string> ScriptValueProblem(const XmlNode& element, std::int32_t valueType);
// The Value of a "GlobalValue": "true" or "false" for a boolean, otherwise a number stored as a
// 32-bit real or long, or in 16 bits for every other type. An absent Value (0) is fine.
std::optional<std::string> GlobalValueProblem(const XmlNode& element, std::int32_t valueType);

}  // namespace xsc
