#pragma once
// A decoded script (common/DecodedScripts.h) as a form of the source language, for the
// decompile into it and the conversion from XML:
//
//   call node, kind 8         (text argument...)        the function its text names
//   script call, kind 10      (text)                    the script its text names
//   global, FF FF FF FF       text                      an engine global
//   global, index i           text                      the scenario global of record i
//   value, types 5 to 8       true / false, the number  as the XML language writes the Value
//   value, type 9             "text"
//   value, type 10            text                      a script of the source
//   value, types 11 to 48     text, or "text" when it would be read as something else
//
// A node the source language cannot write at all (a value of a type no literal has, a value
// stored in a way the language never stores it, a text holding a double quote, a name that is no
// word) is refused with the Error `fault` makes. Whether the source compiles back to the same
// nodes (function numbers of the build, value types of the places) is for the caller to verify.

#include <cstdint>
#include <functional>
#include <string>

#include "common/DecodedScripts.h"
#include "hsc/SourceForm.h"
#include "runtime/Error.h"

namespace xsc::engine {
class EngineTables;
}

namespace xsc {
class ScriptIndex;
}

namespace xsc::hsc {

// The Error for a node of a script (or global) that cannot be written: `slot` is -1 for the
// record.
using RaiseFault = std::function<Error(const ScriptPlace& place, std::int32_t slot, const std::string& what)>;

struct RaisedScript {
    Form form;                       // (script <type> [<return type>] <name> <statement>...), or
                                     // (global <type> <name> <initial value>)
    std::size_t firstStatement = 0;  // index of the first statement among the form's items
};

// The records of the map that nodes name: scripts (script values and calls) and globals (reads).
struct RaiseNames {
    const ScriptIndex& scripts;
    const ScriptIndex& globals;
};

RaisedScript RaiseScript(const DecodedScript& script, const RaiseNames& names, const engine::EngineTables& tables,
                         const RaiseFault& fault);
RaisedScript RaiseGlobal(const DecodedGlobal& global, const RaiseNames& names, const engine::EngineTables& tables,
                         const RaiseFault& fault);

// The positions of a raised script's expressions as printed, in the order of the script's body
// nodes: a call's list, then its arguments.
std::vector<SourcePosition> NodePositions(const RaisedScript& script);

}  // namespace xsc::hsc
