#include "compiler/ExpressionNode.h"

#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/ScriptDataFormat.h"
#include "scriptdata/Syntax.h"

namespace xsc {

using namespace scriptformat;

std::size_t AppendExpressionNode(ScriptCompilier& state, const Syntax& node) {
    const std::size_t slot = state.AppendSlot();
    MemoryBlock& block = state.SyntaxBlock;
    block.Int16Value(slot + kNodeExpIdentity, node.ExpIdentity);
    block.Int16Value(slot + kNodeEngineIdentity, node.EngineIdentity);
    block.Int16Value(slot + kNodeValueType, node.ValueType);
    block.Int16Value(slot + kNodeExpType, node.ExpType);
    block.Int32Value(slot + kNodeSibling, kNoNode);
    block.Int32Value(slot + kNodeStringOffset, node.ScriptTableOffset);
    const bool isCall = node.ExpType == kExpTypeCall;
    block.Int32Value(slot + kNodeChildOrValue,
                     isCall ? ScriptCompilier::NodePointer(node.KidExpPointer) : node.ScriptValue);
    return slot;
}

void LinkSibling(ScriptCompilier& state, std::size_t slot, std::int32_t siblingIdentity) {
    state.SyntaxBlock.Int32Value(slot + kNodeSibling, ScriptCompilier::NodePointer(siblingIdentity));
}

}  // namespace xsc
