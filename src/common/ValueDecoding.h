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
//   6, a whole float of the int32 range      6             that integer          ""
//   6, a float with a fraction               6             the shortest decimal that reads back
//                                                          as that float ("2.75", "0.1")
//   7, v (16 bits) FF FF, no text            7             v, signed             ""
//   8, v (32 bits), no text                  8             v, signed             ""
//   5, 00 00 FF FF, a text (ScriptValue)     5             the text
//   10, i (16 bits) 00 00, a text naming     10            the text
//       the script of record i (ScriptValue)
//   t, 00 00 00 00, a text (ScriptValue)     t (*)         the text
//   t, v (16 bits) FF FF, a text (Global)    t (*)         v, signed             the text
//
// (*) The encoding is chosen by the whole 32-bit ValueType, while only its low 16 bits are
// stored. A text stored under type 5 to 8 or 10 in a way those types do not store texts comes
// from a ValueType beyond 16 bits with the same low half: it is written as t + 65536 (65541 to
// 65544, 65546). Other types are written as the signed 16-bit number.

#include <cstdint>
#include <optional>
#include <string>

namespace xsc {

class ScriptIndex;

struct ValueAttributes {
    std::int32_t valueType = 0;
    std::string value;
    std::string valueCommand;  // GlobalValue only
};

// The Value of a real that encodes to exactly these float bits, or nothing when none does (an
// infinity, a NaN, -0, a whole number beyond the 32-bit range).
std::optional<std::string> RealValueText(std::uint32_t field);

// Attributes that encode to exactly `field` and `text` (absent: the node stored no text), or
// nothing when no attributes do. `scripts` names the records of the document being decoded.
std::optional<ValueAttributes> DecodeScriptValue(std::int16_t valueType, std::uint32_t field,
                                                 const std::optional<std::string>& text, const ScriptIndex& scripts);
std::optional<ValueAttributes> DecodeGlobalValue(std::int16_t valueType, std::uint32_t field,
                                                 const std::optional<std::string>& text);

}  // namespace xsc
