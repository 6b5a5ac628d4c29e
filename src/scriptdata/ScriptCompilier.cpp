#include "scriptdata/ScriptCompilier.h"

#include "runtime/Error.h"

namespace xsc {

void ScriptCompilier::ResetForBuild() {
    StrBlock = MemoryBlock();
    SyntaxBlock = MemoryBlock();
    CurrentSyntaxNumber = OriganalSyntaxNumber;
    RealSyn = 0;
}

std::size_t ScriptCompilier::AppendSlot() {
    const std::size_t slot = SyntaxBlock.Size();
    SyntaxBlock.SetSize(slot + scriptformat::kNodeSize);
    return slot;
}

std::int32_t ScriptCompilier::AppendString(std::string_view bytes) {
    if (LengthIntoStrings < 0) throw Error("internal error: string data offset is negative");
    const std::int32_t start = LengthIntoStrings;
    const std::size_t end = static_cast<std::size_t>(start) + bytes.size() + 1;
    if (end > 0x7FFFFFFF) throw Error("the script's strings exceed 2 GB");
    if (StrBlock.Size() < end) StrBlock.SetSize(end);
    StrBlock.StringValue(static_cast<std::size_t>(start), bytes);
    StrBlock.UInt8Value(end - 1, 0);
    LengthIntoStrings = static_cast<std::int32_t>(end);
    return start;
}

std::uint16_t ScriptCompilier::SlotIndex(std::int32_t identityNumber) {
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(identityNumber) -
                                      static_cast<std::uint32_t>(OriganalSyntaxNumber));
}

std::int32_t ScriptCompilier::NodePointer(std::int32_t identityNumber) {
    const std::uint32_t identity = static_cast<std::uint16_t>(identityNumber);
    return static_cast<std::int32_t>(SlotIndex(identityNumber) | (identity << 16));
}

}  // namespace xsc
