#pragma once
// The decompile's view of values that name the map's things, in scripts and in the scenario
// globals' initial values. A compile stores such a value as its
// text and, in the value field, what the map's names give for it; the decoders of both languages
// read a text with the value 0. So, before a decompile writes a script:
//
//   - a value whose text gives its value field back through the map's names is read as the text
//     alone (the field becomes 0), which compiles to the same bytes again;
//   - a value whose text gives another value (maps compiled before names were looked up stored 0,
//     which the game reads as the first element) is read as the name the value designates: the
//     name is written, and the stored text is said beside it (Renamed);
//   - any other value is left as stored, for the decoders to judge.

#include <cstddef>
#include <string>
#include <vector>

#include "common/DecodedScripts.h"

namespace xsc {

class NameResolver;

struct RenamedValue {
    bool global = false;     // in a global's initial value, else in a script
    std::size_t record = 0;  // index among the decoded scripts, or globals
    std::size_t node = 0;    // index in its body
    std::string storedText;
    std::string designated;  // the name the value designates, now its text
};

std::vector<RenamedValue> DesignateNames(DecodedScriptData& decoded, const NameResolver& names);

// "stored as "point_2", but its value 0 designates "uicam" (compiled before names were looked up)".
std::string RenamedNote(const RenamedValue& renamed);

}  // namespace xsc
