#pragma once
// In-memory holders of one node's and one script's fields while their records are written.

#include <cstdint>
#include <string>

namespace xsc {

struct Syntax {
    std::int32_t ExpIdentity = 0;
    std::int32_t EngineIdentity = 0;
    std::int32_t ExpType = 0;
    // The sibling's identity number, or (while an expression is compiled) the byte position in
    // SyntaxBlock of the sibling pointer's identity half, filled in once the sibling is known.
    std::int32_t SibExpPointer = 0;
    std::int32_t ScriptTableOffset = 0;
    std::int32_t ScriptValue = 0;
    std::int32_t KidExpPointer = 0;  // identity number of the first child
    std::int32_t offset = 0;
    std::int32_t ValueType = 0;
    std::string Command;
};

struct ScriptHeader {
    std::string Name;  // UTF-8 bytes, at most 31
    std::int32_t Type = 0;
    std::int32_t ReturnType = 0;
    std::int32_t ExpPointer = 0;
    std::int32_t Offset = 0;
};

}  // namespace xsc
