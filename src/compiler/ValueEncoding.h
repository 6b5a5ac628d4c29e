#pragma once
// How "ScriptValue" and "GlobalValue" elements store their value: the last four bytes of the
// node record (offsets 16 to 19) and, for some value types, a text appended to the string data.
//
//   ValueType          ScriptValue                      GlobalValue
//   5, "true"          01 FF FF FF                      the same
//   5, "false"         00 FF FF FF                      the same
//   5, other text      Value stored; 0, 0xFFFF          ValueCommand stored; v (16 bits), 0xFFFF
//   6                  float(v), IEEE single            the same
//   7                  v (16 bits), 0xFFFF              the same
//   8                  v (32 bits)                      the same
//   any other          Value stored; 32 bits 0          ValueCommand stored; v (16 bits), 0xFFFF
//
// v is the number of the Value attribute cut to a 32-bit integer, so a real loses its fraction
// before it becomes a float. "true" and "false" are recognised in any letter case. The value
// type is compared as a 32-bit number (65541 is not 5, although its low 16 bits are).

#include <cstdint>
#include <optional>
#include <string>

namespace xsc {

struct EncodedValue {
    std::optional<std::string> text;  // appended to the string data when set
    std::uint32_t field = 0;          // offsets 16 to 19; the low half is stored first
};

EncodedValue EncodeScriptValue(std::int32_t valueType, const std::string& value);
EncodedValue EncodeGlobalValue(std::int32_t valueType, const std::string& value,
                               const std::string& valueCommand);

}  // namespace xsc
