#pragma once
// The compiler's entry points for the build (compile/BuildPhase.cpp), which owns the fillers,
// begin nodes and script records around each script body.
//
// XmlBuild: compiles the expression elements below one element (a script element or a
// "ScriptCommand") into syntax node records and string data texts.
//
// Nodes are appended depth first in document order, each taking the next identity number;
// every expression is linked to the next one at its level, each call to its function name node
// and the name node to the first argument. Returns the identity number of the next free slot.
//
// Throws Error::AtScript (with the offending node's line and column) for a node the language
// has no place for: non-whitespace text, an element other than the expression elements where an
// expression may stand, or any child of an element other than "ScriptCommand"; and for a script
// name (of a "ScriptCall", or the Value of a "ScriptValue" of type 10) that `scripts` lacks.
// With `names` (the map being compiled), the Value of a "ScriptValue" whose type names something
// of the map is looked up there and its value field holds what the game reads
// (names/NameResolution.h); a name the map lacks throws Error::AtScript. Without, such values
// keep the text alone with 0.
// Works with an explicit stack, so nesting depth is bounded only by memory.

#include <cstdint>

#include "scriptdata/Syntax.h"
#include "xml/ScriptIndex.h"

namespace xsc {

class NameResolver;
class ScriptIndex;
struct ScriptCompilier;
struct XmlNode;

// `globals`: the scenario globals of the document; a "GlobalReference" naming one stores its index.
std::int32_t XmlBuild(ScriptCompilier& state, const XmlNode& parent, std::int32_t nextIdentity, const ScriptIndex& scripts,
                      const ScriptIndex& globals = {}, const NameResolver* names = nullptr);

// The attributes of a script element: NameAttr, TypeAttr and ReTypeAttr (ExpPointer left 0).
// Throws Error::AtScript for a name of 32 bytes or more, which has no room in a script record.
ScriptHeader ReadScriptHeader(const XmlNode& scriptElement);
// The attributes of a global definition: Name and ValueType. Throws Error::AtScript for a name of
// 32 bytes or more, and for a definition that does not hold exactly one expression element.
GlobalHeader ReadGlobalHeader(const XmlNode& globalElement);

}  // namespace xsc
