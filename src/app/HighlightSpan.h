#pragma once
// What the script field's highlighting marks in a line of either language: a kind of text and
// where it stands in the line (UTF-16 positions, as the field counts them).

#include <vector>

namespace xsc {

enum class Highlight {
    Comment,    // ; ..., ;* ... *;, <!-- ... -->, <? ... ?>
    String,     // "text" of the source language, CDATA
    Number,     // numbers and the boolean words
    Keyword,    // script, global, the script types and a script's return type
    Function,   // engine functions of the build, static scripts of the source, a script's name
    Global,     // engine globals of the build
    Unknown,    // a called name that is neither: the compile will refuse it
    Element,    // XML element names
    Attribute,  // XML attribute names
    Value,      // XML attribute values
};

struct HighlightSpan {
    int start = 0;
    int length = 0;
    Highlight kind = Highlight::Comment;

    bool operator==(const HighlightSpan&) const = default;
};

using HighlightSpans = std::vector<HighlightSpan>;

}  // namespace xsc
