#pragma once
// The check of a source program against the game's engine tables of one build: looks up every
// name, types every expression and reports every fault, then gives the checked program
// (Program.h) when there is none.
//
//   (global <type> <name> <expression>)   a scenario global: read by its name, set with set;
//                                          the initial value is of its type
//   (script <type> [<return type>] <name> <expression>...)   the return type for static and
//                                                            stub scripts only (void if absent);
//                                                            type names also in double quotes
//   (function argument...)     an engine function of the build, argument counts and types as
//                              its parameters give them; passthrough functions (begin, if, set,
//                              =, ...) take the type of their place
//   (cond (test expression...) ...)   becomes nested if calls (a begin where a clause has more
//                              than one expression)
//   (script_name)              a call of a static or stub script of the same source
//   name                       an engine global, or a literal of the type its place expects
//   "text"                     always a literal: a string, or a name as decompilers quote them
//
// Literals take the type of their place: numbers for short, long and real, true/false/on/off for
// boolean, any text for string, a script of the source for script, and the names of the map's
// objects, AI, trigger volumes, cutscene data, devices, teams, tags and enum words as written
// (looked up in the map afterwards, on the lowered tree: compile/NameCheck.h). Where a place
// takes any type, a literal takes its own (Literals.h) or, beside =, <, ... the type of the other
// side.
//
// Scripts and globals share one namespace across every file of the program; a static script
// replaces a stub of the same name and return type. A number where a boolean is expected: the
// literals 1 and 0 are true and false; a call or a global of a number type is taken with a
// warning (the game's compiler takes it, the game's own scripts use it).
//
// Errors: what the language or the build cannot compile, and what only a later build of the game
// has (script parameters, its functions). Warnings: an engine global the build lacks, calls
// nested more than 10 deep, comparisons of types that do not convert, a number where a boolean
// is expected, a global's initial value that reads a global declared after it. Every fault
// is reported, at the line and column of the form it is about.

#include <optional>
#include <string>
#include <vector>

#include "common/Diagnostic.h"
#include "engine/EngineBuild.h"
#include "hsc/Program.h"
#include "hsc/SourceForm.h"

namespace xsc::engine {
class EngineTables;
}

namespace xsc::hsc {

struct CheckedProgram {
    std::optional<Program> program;        // when no diagnostic is an error
    std::vector<Diagnostic> diagnostics;  // in the order found
};

// `forms`: the top-level forms of every file of the program, in order; `files` names the files
// their positions' file indexes count (diagnostics carry the name; empty for a lone script).
CheckedProgram CheckProgram(const std::vector<Form>& forms, const engine::EngineTables& tables, engine::EngineBuild build,
                            const std::vector<std::string>& files = {});

}  // namespace xsc::hsc
