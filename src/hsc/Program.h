#pragma once
// A checked program of the source language: every name looked up, every expression typed. It
// holds exactly what the XML language's elements say, so lowering it is a copy:
//
//   Call        (f a b)        ScriptCommand  Command=f  EngineId=number  ValueType
//   ScriptCall  (my_script)    ScriptCall     Script=my_script            ValueType
//   Global      game_speed     GlobalReference ValueCommand=game_speed    ValueType
//               (an engine global; a scenario global of the program the same, the XML
//               language stores its index)
//   Literal     400, "intro"   ScriptValue    Value=text                  ValueType
//
// The value type of every expression is the type its place expects, or, where the place takes
// any type (the arguments of =, inspect), the expression's own type.

#include <cstdint>
#include <string>
#include <vector>

#include "hsc/SourceForm.h"

namespace xsc::hsc {

struct Expression {
    enum class Kind { Call, ScriptCall, Global, Literal };
    Kind kind = Kind::Literal;
    SourcePosition at;
    // The function, the script or the global; for a literal, its Value as the XML language
    // writes it ("true", "400", "2.75", "intro").
    std::string text;
    // A call's function number in the build, a script call's record index, a scenario global's
    // index (-1 for an engine global).
    std::int32_t number = 0;
    std::int32_t valueType = 0;
    std::vector<Expression> arguments;  // a call's
};

struct Script {
    SourcePosition at;
    std::string name;
    std::int32_t type = 0;        // script type code
    std::int32_t returnType = 0;  // value type code; void for scripts the game runs by itself
    std::vector<Expression> statements;
};

// (global <type> <name> <initial value>): a scenario global.
struct Global {
    SourcePosition at;
    std::string name;
    std::int32_t type = 0;  // value type code
    Expression initial;     // of the global's type
};

struct Program {
    std::vector<Global> globals;  // in record order
    std::vector<Script> scripts;  // in record order
};

}  // namespace xsc::hsc
