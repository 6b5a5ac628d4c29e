#pragma once
// In-memory holders of one node's and one script's fields while their records are written.

#include <cstdint>
#include <string>

namespace xsc {

// One 20-byte node record (scriptdata/ScriptDataFormat.h), appended by
// ScriptCompilier::AppendNode. The 16-bit fields receive the low 16 bits of their values.
struct Syntax {
    std::int32_t ExpIdentity = 0;     // 16 bits: the node's identity; 0 in a filler
    std::int32_t EngineIdentity = 0;  // 16 bits
    std::int32_t ExpType = 0;         // 16 bits: 8 call, 9 function name or value, 13 global
    std::int32_t SibExpPointer = -1;  // bytes 8-11 as stored: the next sibling's node pointer
    std::int32_t ScriptTableOffset = 0;
    std::int32_t ScriptValue = 0;     // bytes 16-19 of every node but a call
    std::int32_t KidExpPointer = 0;   // bytes 16-19 of a call: its first child's node pointer
    std::int32_t ValueType = 0;       // 16 bits
    std::string Command;              // the text of a call and of its function name node
};

struct ScriptHeader {
    std::string Name;  // UTF-8 bytes, at most 31
    std::int32_t Type = 0;
    std::int32_t ReturnType = 0;
    std::int32_t ExpPointer = 0;  // node pointer of the script's root, the begin call node
};

struct GlobalHeader {
    std::string Name;  // UTF-8 bytes, at most 31
    std::int32_t Type = 0;
    std::int32_t ExpPointer = 0;  // node pointer of the initial value's expression
};

}  // namespace xsc
