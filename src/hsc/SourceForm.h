#pragma once
// The source language as read, before anything is looked up: every script is a tree of forms.
//
//   (script startup intro (camera_set point_2 400) (sleep 200))
//   ^ a list            ^ an atom                  ^ a list holding the atom sleep and the atom 200
//
// A list is what stands in parentheses; an atom is a word or number as written ("intro",
// "400", "-1.5", "+"); a string is what stands in double quotes, without the quotes (the
// language has no escapes, so a string cannot hold a double quote). Every form knows where it
// starts: the "(" of a list, the first character of an atom, the opening quote of a string.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace xsc::hsc {

// Line and column counted from 1; a column counts characters (a UTF-8 sequence is one, a byte of
// a Windows-1252 source one). `file`: which of the program's source files, counted from 0.
struct SourcePosition {
    std::int64_t line = 0;
    std::int64_t column = 0;
    std::int32_t file = 0;
    bool operator==(const SourcePosition&) const = default;
};

struct Form {
    enum class Kind { List, Atom, String };
    Kind kind = Kind::Atom;
    std::string text;         // an atom's or a string's characters
    std::vector<Form> items;  // a list's forms, in order
    SourcePosition at;

    bool IsList() const { return kind == Kind::List; }
    bool IsAtom() const { return kind == Kind::Atom; }
    bool IsString() const { return kind == Kind::String; }
    // A list whose first form is the atom `word`: (script ...), (global ...), (cond ...).
    bool Starts(std::string_view word) const { return IsList() && !items.empty() && items[0].IsAtom() && items[0].text == word; }
};

// Lists nested deeper than this are refused, so that every walk of a tree can recurse (the check
// of 256 levels takes about 4 MB of stack in a build with AddressSanitizer, a fraction of that in
// a release build). The game's own script stack overflows at 10 to 16 nested calls.
inline constexpr std::size_t kMaxNesting = 256;

}  // namespace xsc::hsc
