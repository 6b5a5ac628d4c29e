#pragma once
// The parts of a synthetic map that the map format leaves to the maker: the header size, the
// scenario's own structure around its script fields, the node data header and the fill patterns.
// The offsets that xsc reads are in map/MapFormat.h and scriptdata/ScriptDataFormat.h.
//
//   map header, 2048 bytes: filler, with the header code at 0x000, the file size at 0x008, and
//     indexOffset at 0x010 and the tag data size (from indexOffset to the end) at 0x014 ("daeh"
//     header), or the tag data size at 0x2C4, the file size at 0x5E8 and indexOffset at 0x5EC
//     (alternate header); the other kind's index slot holds the complement of indexOffset, so a
//     reader that looks in the wrong place goes astray
//   index header, 40 bytes:
//     +0x00  MapMagic      +0x04  ident of tag 0    +0x08  0 (map id)
//     +0x0C  TagCount      +0x10..+0x23  0 (model data, unused on PC)    +0x24  "sgat"
//   tag entry +0x18..+0x1F: 0
//   tag ident: salt (0xE174 + i) in the high 16 bits, index i in the low 16 bits
//   scenario data:
//     0x000..0x5AF  the scenario structure: filler words, with the data fields
//                   0x474 (node data) and 0x488 (string data), each 20 bytes: size, 0, 0,
//                   address, 0; the script record block 0x49C: count, address, 0; the
//                   fields of the other blocks from 0x4A8 (count, address, 0), empty unless
//                   asked for; and the address at 0x5A8
//     0x5B0         node data: header (below), then slotCapacity slots of 20 bytes
//     ...           string data: 1024 zero bytes
//     ...           scenario tail: filler words
//   node data header, 56 bytes:
//     0x00 32  "script node", zero-filled     0x20 2  slot capacity    0x22 2  slot size (20)
//     0x24  1  1, then 3 zero bytes           0x28 4  "@t@d" ("d@t@" reversed)
//     0x2C  2  0                              0x2E 2  slot count field: -1 (no slot in use)
//     0x30  2  real node count 0              0x32 2  last identity 0xE372 (none handed out)
//     0x34  4  0
//   node slot k: 16 bits k, then 18 bytes 0xCD

#include <cstdint>
#include <string_view>

namespace xsc::mapgen::synthetic {

constexpr std::int64_t kHeaderSize = 2048;

constexpr std::int64_t kIndexTag0Ident = 0x04;
constexpr std::int64_t kIndexTagsCode = 0x24;
constexpr std::string_view kTagsCode = "sgat";

constexpr std::uint32_t kIdentSaltBase = 0xE174;
constexpr std::string_view kNoClass{"\xFF\xFF\xFF\xFF", 4};

constexpr std::int64_t kScenarioStructSize = 0x5B0;
// Words of the scenario structure left zero: the data fields around the script fields and the
// fields of the scenario's other blocks (empty unless asked for).
constexpr std::int64_t kScenarioZeroStart = 0x474;
constexpr std::int64_t kScenarioZeroEnd = 0x508;
// With names, also the fields of the blocks in front of the script fields (object names to
// conversations) and the hud message text dependency, before the names are put in.
constexpr std::int64_t kNamedFieldsStart = 0x200;
constexpr std::int64_t kHudMessagesTagStart = 0x594;
constexpr std::int64_t kHudMessagesTagEnd = 0x5A4;

constexpr std::int64_t kNodeHeaderSize = 0x38;
constexpr std::string_view kNodeTableName = "script node";
constexpr std::int64_t kNodeTableNameSize = 32;
constexpr std::int64_t kNodeCapacityField = 0x20;
constexpr std::int64_t kNodeSizeField = 0x22;
constexpr std::int64_t kNodeOneField = 0x24;
constexpr std::int64_t kNodeDataCodeField = 0x28;
constexpr std::string_view kNodeDataCode = "@t@d";
constexpr std::int16_t kNoSlotInUse = -1;
constexpr std::uint16_t kNoIdentityHandedOut = 0xE372;  // the identity before slot 0's
constexpr std::uint8_t kSlotFill = 0xCD;

}  // namespace xsc::mapgen::synthetic
