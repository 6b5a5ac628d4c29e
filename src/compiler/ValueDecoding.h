#pragma once
// The way back from a stored value to the attributes of a "ScriptValue" or "GlobalValue"
// element: the inverse of ValueEncoding.h, for the decompile.
//
// A value node stores a 16-bit value type, the last four bytes of its record and, for some
// encodings, a text. Decoding picks the attributes that give exactly these, and then checks them
// by encoding them again, so a result always compiles back to the same bytes:
//
//   stored                                   ValueType     Value                 ValueCommand
//   5, 01 FF FF FF / 00 FF FF FF, no text    5             "true" / "false"      ""
//   6, a float that is an int32 as float     6             that integer          ""
//   7, v (16 bits) FF FF, no text            7             v, signed             ""
//   8, v (32 bits), no text                  8             v, signed             ""
//   5, 00 00 FF FF, a text (ScriptValue)     5             the text
//   t, 00 00 00 00, a text (ScriptValue)     t (*)         the text
//   t, v (16 bits) FF FF, a text (Global)    t (*)         v, signed             the text
//
// (*) The encoding is chosen by the whole 32-bit ValueType, while only its low 16 bits are
// stored. A text stored under type 5 to 8 in a way those types do not store texts comes from a
// ValueType beyond 16 bits with the same low half: it is written as t + 65536 (65541 to 65544).
// Other types are written as the signed 16-bit number.

#include <cstdint>
#include <optional>
#include <string>

namespace xsc {

struct ValueAttributes {
    std::int32_t valueType = 0;
    std::string value;
    std::string valueCommand;  // GlobalValue only
};

// Attributes that encode to exactly `field` and `text` (absent: the node stored no text), or
// nothing when no attributes do.
std::optional<ValueAttributes> DecodeScriptValue(std::int16_t valueType, std::uint32_t field,
                                                 const std::optional<std::string>& text);
std::optional<ValueAttributes> DecodeGlobalValue(std::int16_t valueType, std::uint32_t field,
                                                 const std::optional<std::string>& text);

}  // namespace xsc
