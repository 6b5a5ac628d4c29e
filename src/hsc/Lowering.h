#pragma once
// A checked program as a document of the XML language, which the build phase compiles: so both
// languages share one node writer, and `xsc convert A.hsc` is this document written out.
//
//   <scripts>                                                          at 1:1
//     <ScenarioGlobal Name=".." ValueType="n"> initial value </...>    every global first
//     <ScenarioGlobal Name=".." ValueType="n"> initial value </...>    each global first
//     <script NameAttr=".." TypeAttr="n" ReTypeAttr="n">               at the script's "("
//       <ScriptCommand Command="f" EngineId="n" ValueType="n">..</ScriptCommand>
//       <ScriptCall Script="name" ValueType="n"/>
//       <GlobalReference ValueType="n" ValueCommand="name"/>
//       <ScriptValue ValueType="n" Value=".."/>
//
// Every element carries the file, line and column of the source form it comes from, so that what the
// build phase refuses (a name of 32 bytes, a node on slot 7309) is reported in the source.

#include "hsc/Program.h"
#include "runtime/XmlDocument.h"

namespace xsc::hsc {

XmlDocument LowerProgram(const Program& program);

}  // namespace xsc::hsc
