#pragma once
// The compiler's working state: the blocks into which one build assembles node slots and
// strings, the counters that number nodes and measure strings, and where the scenario keeps its
// script data. Whoever runs builds owns one; every build resets it.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/MemoryBlock.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {

struct Syntax;

struct ScriptCompilier {
    MemoryBlock SyntaxBlock;  // node slots of this build, slot 0 first
    MemoryBlock StrBlock;     // new string data without its 1024 trailing zero bytes
    std::int32_t LengthIntoStrings = 0;  // where the next string goes in StrBlock
    std::int32_t CurrentSyntaxNumber = scriptformat::kOriganalSyntaxNumber;  // identity of the next slot
    static constexpr std::int32_t OriganalSyntaxNumber = scriptformat::kOriganalSyntaxNumber;
    std::int32_t RealSyn = 0;  // appended nodes that are not fillers

    // Read from the map by LoadScriptData.
    std::int32_t ScriptTable = 0;      // file offset of the string data
    std::int32_t ScriptTableSize = 0;  // string data size before the build
    std::int32_t ScriptNode = 0;       // file offset of the node data + 0x24
    std::int32_t SyntaxDataSize = 0;   // node data size
    std::int32_t SyntaxCount = 0;      // slot count field before the build, sign-extended

    // Starts a build: new empty blocks, numbering from slot 0, no real nodes.
    void ResetForBuild();

    // Appends one 20-byte node record with the fields of `node` and returns the slot's byte
    // offset in SyntaxBlock. This is the one writer of node records.
    std::size_t AppendNode(const Syntax& node);
    // Makes the node at byte offset `slot` of SyntaxBlock name the node with this identity
    // number as its next sibling.
    void LinkSibling(std::size_t slot, std::int32_t siblingIdentity);
    // Appends the bytes and one zero byte at LengthIntoStrings; returns the offset the text
    // starts at (LengthIntoStrings before the append).
    std::int32_t AppendString(std::string_view bytes);

    // Slot index of an identity number: identity - OriganalSyntaxNumber, in 16 bits.
    static std::uint16_t SlotIndex(std::int32_t identityNumber);
    // The 32-bit node pointer naming the node with this identity number: the slot index in the
    // low (first-stored) 16 bits, the identity in the high 16 bits.
    static std::int32_t NodePointer(std::int32_t identityNumber);
};

}  // namespace xsc
