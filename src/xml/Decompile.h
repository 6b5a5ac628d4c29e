#pragma once
// Turns a map's compiled scripts back into a document of the XML script language, such that
// compiling the document gives the same nodes, texts and records again.
//
//   <scripts>
//     <ScenarioGlobal Name=".." ValueType="n"> expression </ScenarioGlobal>   one per global record, first
//     <script NameAttr=".." TypeAttr="n" ReTypeAttr="n">        one per script record
//       <ScriptCommand Command=".." EngineId="n" ValueType="n">  arguments  </ScriptCommand>
//       <ScriptValue ValueType="n" ExpType="9" Value=".."/>
//       <GlobalValue ValueType="n" ExpType="13" Value=".." ValueCommand=".."/>
//       <ScriptCall Script=".." ValueType="n"/>                  a call node of kind 10
//       <GlobalReference ValueType="n" ValueCommand=".."/>      a global read by its name: an engine
//                                                                global's (FF FF FF FF), or a scenario
//                                                                global's (its index)
//
// Every attribute is written, numbers of 16-bit fields as signed numbers, values as
// ValueDecoding.h gives them. The expressions and their texts come from DecodedScripts.h: a walk of
// each script's node tree and the string data in the order a compile appends it.
//
// What a compile of the document could not give back is refused with an Error naming the script
// and slot: a node kind or field the language cannot express, a value no attribute produces, a
// text that is not UTF-8 or holds a character XML 1.0 cannot carry, texts out of order, a record
// whose name or unused bytes a compile would not write so. Not judged: which slots the nodes
// take, the filler nodes and the node data header, which a compile lays out itself.
//
// A map without compiled scripts (string data of 1024 bytes) gives an empty document with a
// comment that says so.
//
// With `names` (the map's), values that name the map's things are written as the names their
// values designate (names/DesignatedNames.h): where the stored text names something else, a
// comment before the element gives the stored text. Without, such a value must hold 0, as a compile
// without a map stores it.

#include <string>

#include "scriptdata/ReadScriptData.h"

namespace xsc {

class NameResolver;

std::string Decompile(const CompiledScriptData& data, const NameResolver* names = nullptr);

}  // namespace xsc
