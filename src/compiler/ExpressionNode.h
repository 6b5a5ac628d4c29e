#pragma once
// Writing the node records of expressions into SyntaxBlock.

#include <cstddef>
#include <cstdint>

namespace xsc {

struct ScriptCompilier;
struct Syntax;

// Appends one 20-byte node record:
//   0  ExpIdentity, 2 EngineIdentity, 4 ValueType, 6 ExpType   (low 16 bits of each)
//   8  sibling pointer: -1 (no node) until LinkSibling names one
//  12  ScriptTableOffset
//  16  a call node's child pointer (to the node numbered KidExpPointer), otherwise ScriptValue
// Returns the byte offset of the new slot in SyntaxBlock.
std::size_t AppendExpressionNode(ScriptCompilier& state, const Syntax& node);

// Makes the node at byte offset `slot` of SyntaxBlock point at the node numbered
// `siblingIdentity` as its next sibling.
void LinkSibling(ScriptCompilier& state, std::size_t slot, std::int32_t siblingIdentity);

}  // namespace xsc
