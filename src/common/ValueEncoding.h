#pragma once
// How "ScriptValue", "GlobalValue" and "GlobalReference" elements store their value: the last four
// bytes of the node record (offsets 16 to 19) and, for some value types, a text appended to the
// string data.
//
//   ValueType          ScriptValue                      GlobalValue
//   5, "true"          01 FF FF FF                      the same
//   5, "false"         00 FF FF FF                      the same
//   5, other text      Value stored; 0, 0xFFFF          ValueCommand stored; v (16 bits), 0xFFFF
//   6                  RealField(Value), IEEE single    the same
//   7                  v (16 bits), 0xFFFF              the same
//   8                  v (32 bits)                      the same
//   10                 Value stored; the index of the   ValueCommand stored; v (16 bits), 0xFFFF
//                      script it names (16 bits), 0
//   any other          Value stored; 32 bits 0          ValueCommand stored; v (16 bits), 0xFFFF
//
//   GlobalReference, any ValueType: ValueCommand stored; FF FF FF FF for an engine global (the game
//   finds it by its name), the global's index in the scenario's globals block (32 bits) for a
//   scenario global
//
// v is the number of the Value attribute cut to a 32-bit integer. "true" and "false" are
// recognised in any letter case. The value type is compared as a 32-bit number (65541 is not 5,
// although its low 16 bits are).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace xsc {

struct EncodedValue {
    std::optional<std::string> text;  // appended to the string data when set
    std::uint32_t field = 0;          // offsets 16 to 19; the low half is stored first
};

// The float a real stores, as its bits: a whole number is cut to a 32-bit integer (wrapping
// beyond it) and made a float, as the language always stored reals; any other number becomes the
// float nearest to it ("2.75" gives 2.75).
std::uint32_t RealField(std::string_view value);

// `scriptIndex`: for ValueType 10, the record index of the script that `value` names (resolved
// by the caller, which refuses a name no script has); unused for other types.
EncodedValue EncodeScriptValue(std::int32_t valueType, const std::string& value,
                               std::optional<std::int32_t> scriptIndex = std::nullopt);
EncodedValue EncodeGlobalValue(std::int32_t valueType, const std::string& value,
                               const std::string& valueCommand);
// `scenarioGlobal`: the index of the scenario global `valueCommand` names; none for an engine global.
EncodedValue EncodeGlobalReference(const std::string& valueCommand, std::optional<std::int32_t> scenarioGlobal = std::nullopt);

}  // namespace xsc
