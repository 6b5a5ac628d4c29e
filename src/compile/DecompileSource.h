#pragma once
// Turns a map's compiled scripts into text of the source language, for one build of the game,
// such that compiling the text into the map gives the same nodes, texts and script records:
//
//   1. decode the scripts (common/DecodedScripts.h) and raise each to a form (hsc/RaisedScript.h);
//   2. print the forms in the usual layout (hsc/SourcePrinter.h);
//   3. compile the text for the build and compare what it gives with the map, node by node:
//      field for field for scripts xsc laid out, up to layout for another compiler's (the same
//      tree, kinds, numbers, value types of values and global reads, values and texts; not the
//      slots, string offsets or the value types the official compiler gives calls).
//
// The comparison is what guarantees the result: a node the source language would compile
// otherwise (a function number that is not its function's number in the build, a value type
// other than its place's, a name the language reads as something else) is refused with an Error
// naming the script and slot and what differs. Nothing is written that would compile to other
// bytes.
//
// A map without compiled scripts gives a comment that says so.
//
// With `names` (the map's), values that name the map's things are written as the names their
// values designate (names/DesignatedNames.h); where the stored text names something else, a
// comment at the top says which, and the text's new length moves the texts behind it, which the
// comparison then allows.

#include <string>

#include "engine/EngineBuild.h"
#include "hsc/RaisedScript.h"
#include "scriptdata/ReadScriptData.h"

namespace xsc {

class NameResolver;

// Faults name the script and slot, and suggest the XML language, which writes every script xsc
// compiled.
std::string DecompileToSource(const CompiledScriptData& data, engine::EngineBuild build, const NameResolver* names = nullptr);
// Faults made by `fault`; `heading`: the comment the text starts with.
std::string DecompileToSource(const CompiledScriptData& data, engine::EngineBuild build, const hsc::RaiseFault& fault,
                              const std::string& heading, const NameResolver* names = nullptr);

}  // namespace xsc
