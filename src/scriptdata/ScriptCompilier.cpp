#include "scriptdata/ScriptCompilier.h"

#include "map/MapFormat.h"
#include "runtime/Error.h"
#include "runtime/Int32.h"
#include "scriptdata/Syntax.h"

namespace xsc {

void ScriptCompilier::ResetForBuild() {
    StrBlock = MemoryBlock();
    SyntaxBlock = MemoryBlock();
    CurrentSyntaxNumber = OriganalSyntaxNumber;
    RealSyn = 0;
}

std::size_t ScriptCompilier::AppendNode(const Syntax& node) {
    using namespace scriptformat;
    const std::size_t slot = SyntaxBlock.Size();
    SyntaxBlock.SetSize(slot + kNodeSize);
    SyntaxBlock.Int16Value(slot + kNodeExpIdentity, node.ExpIdentity);
    SyntaxBlock.Int16Value(slot + kNodeEngineIdentity, node.EngineIdentity);
    SyntaxBlock.Int16Value(slot + kNodeValueType, node.ValueType);
    SyntaxBlock.Int16Value(slot + kNodeExpType, node.ExpType);
    SyntaxBlock.Int32Value(slot + kNodeSibling, node.SibExpPointer);
    SyntaxBlock.Int32Value(slot + kNodeStringOffset, node.ScriptTableOffset);
    SyntaxBlock.Int32Value(slot + kNodeChildOrValue, IsCallKind(node.ExpType) ? node.KidExpPointer : node.ScriptValue);
    return slot;
}

void ScriptCompilier::LinkSibling(std::size_t slot, std::int32_t siblingIdentity) {
    SyntaxBlock.Int32Value(slot + scriptformat::kNodeSibling, NodePointer(siblingIdentity));
}

std::int32_t ScriptCompilier::AppendString(std::string_view bytes) {
    if (LengthIntoStrings < 0) throw Error("internal error: string data offset is negative");
    const std::int32_t start = LengthIntoStrings;
    const std::size_t end = static_cast<std::size_t>(start) + bytes.size() + 1;
    if (end > static_cast<std::size_t>(mapformat::kMaxFileLength)) throw Error("the script's strings exceed 2 GB");
    if (StrBlock.Size() < end) StrBlock.SetSize(end);
    StrBlock.StringValue(static_cast<std::size_t>(start), bytes);
    StrBlock.UInt8Value(end - 1, 0);
    LengthIntoStrings = static_cast<std::int32_t>(end);
    return start;
}

std::uint16_t ScriptCompilier::SlotIndex(std::int32_t identityNumber) {
    return static_cast<std::uint16_t>(Wrap32(std::int64_t{identityNumber} - OriganalSyntaxNumber));
}

std::int32_t ScriptCompilier::NodePointer(std::int32_t identityNumber) {
    const std::uint32_t identity = static_cast<std::uint16_t>(identityNumber);
    return static_cast<std::int32_t>(SlotIndex(identityNumber) | (identity << 16));
}

}  // namespace xsc
