#pragma once
// Reads a map's compiled script data as it stands, for a decompile: the node slots in use, the
// string data and the script records. Nothing is written and no compiler state changes.
//
// Every block is checked against the file before it is read: a field or block outside the file,
// or fields that contradict each other, throw Error with the file offset. Nothing here requires
// that xsc wrote the scripts; the decompile judges their contents.

#include <cstdint>
#include <string>
#include <vector>

namespace xsc {

class BinaryStream;
class HaloPcMap;

// One 20-byte node record, field by field (scriptdata/ScriptDataFormat.h).
struct StoredNode {
    std::uint16_t identity = 0;
    std::int16_t engine = 0;
    std::int16_t valueType = 0;
    std::int16_t expType = 0;
    std::uint32_t sibling = 0;       // node pointer: slot index in the low half, identity in the high
    std::int32_t stringOffset = 0;
    std::uint32_t childOrValue = 0;  // a call's child pointer, or the value of any other node
};

// One 92-byte script record.
struct StoredRecord {
    std::string nameField;  // all 32 bytes of the name field
    std::int16_t type = 0;
    std::int16_t returnType = 0;
    std::uint32_t root = 0;  // node pointer of the begin call node
    bool zeroTail = false;   // the 52 bytes from 0x28 are all zero
};

// One 92-byte global record.
struct StoredGlobal {
    std::string nameField;  // all 32 bytes of the name field
    std::int16_t type = 0;
    std::uint32_t initialValue = 0;  // node pointer of the initial value's expression
    bool zeroElsewhere = false;      // the bytes around the type and the pointer are all zero
};

struct CompiledScriptData {
    bool fresh = false;           // string data of exactly 1024 bytes: nothing compiled yet
    std::int32_t slotCount = 0;   // slots in use: the slot count field + 1
    std::vector<std::uint8_t> slots;    // slotCount records of 20 bytes
    std::string strings;                // the whole string data
    std::vector<std::uint8_t> records;  // the script records, 92 bytes each
    std::vector<std::uint8_t> globals;  // the scenario's global records, 92 bytes each

    std::size_t ScriptCount() const;
    std::size_t GlobalCount() const;
    StoredNode Node(std::int32_t slot) const;     // slot < slotCount
    StoredRecord Record(std::size_t index) const;  // index < ScriptCount()
    StoredGlobal Global(std::size_t index) const;  // index < GlobalCount()
};

// Throws Error when no map is loaded, the map has no scenario, or a field or block of the script
// data lies outside the file or contradicts another.
CompiledScriptData ReadScriptData(const HaloPcMap& map);
// The same, through the map's stream that the command opened.
CompiledScriptData ReadScriptData(const HaloPcMap& map, BinaryStream& in);

}  // namespace xsc
