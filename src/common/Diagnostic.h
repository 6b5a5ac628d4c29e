#pragma once
// One finding of a script check, at a place in the script, printed as compilers print them:
//   script.xml:12:5: warning: print is function 28 in the custom build, not 13 (13 is "=")

#include <cstdint>
#include <string>
#include <string_view>

namespace xsc {

struct Diagnostic {
    // Error: the compile would refuse the script. Warning: the script compiles but is likely to
    // fail in the game. Note: worth knowing, probably fine.
    enum class Severity { Note, Warning, Error };

    Severity severity = Severity::Warning;
    std::int64_t line = 0;    // counted from 1; 0 when about the script as a whole
    std::int64_t column = 0;  // counted from 1
    std::string message;
    // The file the position is in, for a program of several source files; empty: the script the
    // front end names.
    std::string file = {};

    bool operator==(const Diagnostic&) const = default;
};

// A name from the script (a function's, a script's, a global's, a word) in quotes for a message,
// whole: a cut name does not say which one is meant.
std::string Quoted(std::string_view name);
// A free text from the script (a string, an attribute's value) in quotes for a message, cut after
// 32 bytes (at a character boundary) and marked "...": it can be of any length.
std::string QuotedExcerpt(std::string_view text);

}  // namespace xsc
