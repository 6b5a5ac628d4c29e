#pragma once
// Checks that the children of an element hold nothing but expressions, all the way down, before
// a single node is built: where an expression may stand (below a script element or a
// "ScriptCommand") only the expression elements may stand ("ScriptCommand", "ScriptValue",
// "GlobalValue", "ScriptCall", "GlobalReference"), and all but "ScriptCommand" hold no child nodes
// at all (a static script takes no arguments). Comments and processing instructions are not part
// of the tree, so they are never in the way. Every script name (of a "ScriptCall", and the Value
// of a "ScriptValue" of type 10) must be one of `scripts`.
//
// Throws Error::AtScript at the first offending node in document order, at that node's line
// and column. Walks with an explicit stack, so any nesting depth is fine.

namespace xsc {

class ScriptIndex;
struct XmlNode;

void CheckExpressions(const XmlNode& parent, const ScriptIndex& scripts);

}  // namespace xsc
