#pragma once
// How the source language reads the literals of the types with an encoding of their own, and
// spells them as the XML language's Value:
//
//   boolean  true, false, on, off (any letter case), and     "true" / "false"
//            1 and 0 where a boolean is expected
//   short    a whole number from -32768 to 32767              "400"
//   long     a whole number from -2147483648 to 2147483647    "-1"
//   real     any number whose float a script can store:       the float's shortest text
//            a whole one from -2147483648 to 2147483648       ("0.5", "1000" for 1e3)
//
// A number is, wholly: an optional sign, digits with an optional point and fraction (or a point
// and digits), an optional exponent (e or E, optional sign, digits). "1e3" is the whole number
// 1000; "1.5e1" is 15. Reals keep their fraction: the float nearest the written number.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace xsc::hsc {

bool IsNumber(std::string_view text);

// A literal read for a place of one type: its Value, or why it cannot stand there.
struct LiteralReading {
    std::optional<std::string> value;
    std::string problem;
};

LiteralReading ReadBoolean(std::string_view text);
// A boolean where one is expected: also 1 and 0, as the game's own scripts write them
// ((camera_control 1)).
LiteralReading ReadBooleanInPlace(std::string_view text);
LiteralReading ReadShort(std::string_view text);
LiteralReading ReadLong(std::string_view text);
LiteralReading ReadReal(std::string_view text);

// The type a literal has by itself, where nothing expects one: a boolean word, then a whole number
// as a short (or a long beyond 16 bits), any other number as a real. None for names.
std::optional<std::int32_t> OwnLiteralType(std::string_view text);

}  // namespace xsc::hsc
