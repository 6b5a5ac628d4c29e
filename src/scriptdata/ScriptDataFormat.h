#pragma once
// Where the scenario tag keeps its compiled scripts, and the formats of the node data, the
// syntax node records and the script records. All integers little-endian. docs/map-format.md
// describes the formats in prose, with what a compile writes and moves.
//
// Scenario script fields (scenario offset X = file offset Scenario->Offset + X):
//   0x474  4  node data size in bytes
//   0x480  4  node data address
//   0x488  4  string data size in bytes
//   0x494  4  string data address
//   0x49C  4  number of script records
//   0x4A0  4  address of the first script record
//   0x5A8  4  an address pointing behind the string data, moved by the build itself
//
// Node data (at the node data address):
//   0x00..0x2D  not touched
//   0x2E  2  slot count field: slots written - 1
//   0x30  2  real node count (RealSyn)
//   0x32  2  last identity written
//   0x34  4  0
//   0x38     slot k at 0x38 + 20 * k
//
// Syntax node record, 20 bytes:
//   0  2  ExpIdentity        (0 in a filler node)
//   2  2  EngineIdentity
//   4  2  ValueType
//   6  2  ExpType            (8 call, 9 function name or value, 10 script call, 13 global)
//   8  4  sibling node pointer: slot index (2), identity (2); -1 for none
//  12  4  ScriptTableOffset  (byte offset of the node's text in the string data)
//  16  4  child node pointer of a call or script call, or the value of a value node
//
// Script record, 92 bytes:
//   0x00 32  name bytes, zero-filled
//   0x20  2  script type
//   0x22  2  return type
//   0x24  2  root node slot index (the begin call node)
//   0x26  2  root node identity
//   0x28 52  zero
//
// Global record, 92 bytes (the scenario's globals block, field 0x4A8; a compile writes the
// records right behind the script records and the initial values' node trees behind the
// scripts' trees):
//   0x00 32  name bytes, zero-filled
//   0x20  2  value type
//   0x22  6  zero
//   0x28  4  node pointer of the initial value's expression: slot index (2), identity (2)
//   0x2C 48  zero

#include <cstdint>
#include <string_view>

namespace xsc::scriptformat {

// Scenario offsets of the script fields.
constexpr std::int64_t kNodeDataSizeField = 0x474;
constexpr std::int64_t kNodeDataAddressField = 0x480;
constexpr std::int64_t kStringDataSizeField = 0x488;
constexpr std::int64_t kStringDataAddressField = 0x494;
constexpr std::int64_t kScriptCountField = 0x49C;
constexpr std::int64_t kScriptRecordsAddressField = 0x4A0;
constexpr std::int64_t kBehindStringsAddressField = 0x5A8;
// The scenario's fields that the build reads or writes end here (exclusive).
constexpr std::int64_t kScenarioFieldsEnd = 0x5AC;
// The scenario's main structure, whose fields name its blocks and data.
constexpr std::int64_t kScenarioStructSize = 0x5B0;

// Other blocks of the scenario's own data, which may lie behind the string data and then move
// with the tail. Each is named by a 12-byte field: 32-bit element count, 32-bit address, 4 bytes
// unused. The compile corrects the address of a non-empty block at or behind the insertion point.
// The initial values of the scenario's globals are node trees in the node data.
constexpr std::int64_t kGlobalsBlockField = 0x4A8;
struct ScenarioBlock {
    std::int64_t field;  // scenario offset of the count; the address follows it
    const char* name;
};
constexpr ScenarioBlock kScenarioBlocks[] = {
    {kGlobalsBlockField, "globals"}, {0x4B4, "references"},           {0x4C0, "source files"},
    {0x4E4, "cutscene flags"},       {0x4F0, "cutscene camera points"}, {0x4FC, "cutscene titles"},
};
constexpr std::int64_t kBlockCount = 0;
constexpr std::int64_t kBlockAddress = 4;

// The module variable ScriptNode points this far into the node data.
constexpr std::int32_t kScriptNodeBias = 0x24;

// Node data header, as offsets from the start of the node data (the header is 0x38 bytes).
constexpr std::int64_t kSlotCountField = 0x2E;
constexpr std::int64_t kRealNodeCountField = 0x30;
constexpr std::int64_t kLastIdentityField = 0x32;
constexpr std::int64_t kNodeDataZeroField = 0x34;
constexpr std::int64_t kFirstSlot = 0x38;
// The slot count field of node data without slots in use (-1 in 16 bits).
constexpr std::uint16_t kNoSlotsInUse = 0xFFFF;

// Syntax node record.
constexpr std::int64_t kNodeSize = 20;
constexpr std::int64_t kNodeExpIdentity = 0;
constexpr std::int64_t kNodeEngineIdentity = 2;
constexpr std::int64_t kNodeValueType = 4;
constexpr std::int64_t kNodeExpType = 6;
constexpr std::int64_t kNodeSibling = 8;        // index half; identity half at +2
constexpr std::int64_t kNodeStringOffset = 12;
constexpr std::int64_t kNodeChildOrValue = 16;  // index half / low half; identity / high at +2

// Expression kinds (ExpType).
constexpr std::int32_t kExpTypeCall = 8;
constexpr std::int32_t kExpTypeNameOrValue = 9;
constexpr std::int32_t kExpTypeScriptCall = 10;  // EngineIdentity: the called script's record index
constexpr std::int32_t kExpTypeGlobal = 13;
// The kinds whose last four bytes point at a child (their name node) rather than hold a value.
constexpr bool IsCallKind(std::int32_t expType) { return expType == kExpTypeCall || expType == kExpTypeScriptCall; }
// EngineIdentity of every global node.
constexpr std::int32_t kGlobalEngineIdentity = 0xFFFF;
// The value of a global node that names its global by its text alone, whatever its type.
constexpr std::uint32_t kGlobalByNameValue = 0xFFFFFFFF;
// Value type code of every function name node.
constexpr std::int32_t kFunctionNameValueType = 2;

// Node numbering: slot k has identity number OriganalSyntaxNumber + k (low 16 bits 0xE373 + k).
constexpr std::int32_t kOriganalSyntaxNumber = -7309;
constexpr std::int32_t kNoNode = -1;  // a node pointer naming no node: both halves 0xFFFF
// Node pointers hold slot index and identity in 16 bits each: a build can address this many
// slots, and identities repeat with this period.
constexpr std::int64_t kMaxAddressableSlots = 65536;
// The slot whose identity wraps to 0, the identity that marks a filler node (0xE373 + 7309).
constexpr std::int64_t kZeroIdentitySlot = -std::int64_t{kOriganalSyntaxNumber};

// Room for node slots in node data of a given size: (size - 56) / 20, none when smaller.
constexpr std::int64_t SlotCapacity(std::int64_t nodeDataSize) {
    return nodeDataSize < kFirstSlot ? 0 : (nodeDataSize - kFirstSlot) / kNodeSize;
}

// The slots of a compiled script: four leading fillers, the body, the begin call node and its
// name node, one trailing filler. Filler nodes have identity 0 and fixed patterns:
//                    engine  value type  exp type  sibling field           string  bytes 16-19
//   first leading      -1        1          0      none (-1)                  0     the next slot
//   other leading      -1        0          1      the next slot              0     0
//   trailing            0        2          1      RealSyn - 1, first body    -1    0
//                                                  identity + 1 (16 bits each)
// The begin nodes call the function "begin" (number 0, text at string offset 0).
constexpr std::int32_t kLeadingFillers = 4;
constexpr std::int32_t kBeginNodes = 2;
constexpr std::int32_t kTrailingFillers = 1;
constexpr std::int32_t kFillerIdentity = 0;
struct FillerPattern {
    std::int32_t engine, valueType, expType;
};
constexpr FillerPattern kFirstLeadingFiller{-1, 1, 0};
constexpr FillerPattern kOtherLeadingFiller{-1, 0, 1};
constexpr FillerPattern kTrailingFiller{0, 2, 1};
constexpr std::int32_t kTrailingFillerStringOffset = -1;
constexpr std::int32_t kBeginEngineIdentity = 0;
constexpr std::int32_t kBeginStringOffset = 0;
constexpr std::string_view kBeginText = "begin";

// String data: the build leaves this many zero bytes behind the new strings, then pads with 0xFF
// bytes to a multiple of this many bytes, where the script records start.
constexpr std::int32_t kStringDataZeroBytes = 1024;
constexpr std::int32_t kRecordAlignment = 4;
constexpr std::uint8_t kPaddingByte = 0xFF;
// The string data size of a fresh map, one without compiled strings of its own.
constexpr std::int32_t kFreshStringDataSize = 1024;
// The string data of a map this program compiled: "begin" and its zero byte first, then the other
// texts, then the 1024 zero bytes; so at least this many bytes.
constexpr std::int32_t kSmallestCompiledStringData = 6 + kStringDataZeroBytes;

// Script record.
constexpr std::int64_t kRecordSize = 92;
constexpr std::int64_t kRecordName = 0x00;
constexpr std::int64_t kRecordNameSize = 32;
constexpr std::int64_t kRecordType = 0x20;
constexpr std::int64_t kRecordReturnType = 0x22;
constexpr std::int64_t kRecordRoot = 0x24;  // slot index; identity at 0x26
constexpr std::int64_t kRecordZeroTail = 0x28;  // zero bytes from here to the record's end

// Global record.
constexpr std::int64_t kGlobalRecordSize = 92;
constexpr std::int64_t kGlobalName = 0x00;  // 32 bytes, as a script record's name
constexpr std::int64_t kGlobalType = 0x20;
constexpr std::int64_t kGlobalInitialValue = 0x28;  // slot index; identity at 0x2A

}  // namespace xsc::scriptformat
