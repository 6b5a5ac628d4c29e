#pragma once
// Layout of a Halo PC map file as far as xsc reads and writes it. All integers little-endian;
// offsets and addresses are 32-bit signed, so the format reaches the first 2^31 - 1 bytes.
//
//   map header (offset 0, 2048 bytes), "daeh" kind (retail and custom maps)
//     0x000  4  header code "daeh" (the code "head" stored reversed, letter case ignored)
//     0x008  4  file size: the map's length in bytes
//     0x010  4  indexOffset
//     0x014  4  tag data size: the length from indexOffset to the end of the file
//     0x068..0x7FB  padding, read by nothing: the compile mark lies here (below)
//   the alternate header (any other code at 0x000; the demo's: "dehE" at 0x2C0, its code Ehed
//   stored reversed like every four-character code)
//     0x2C4  4  tag data size
//     0x5E8  4  file size
//     0x5EC  4  indexOffset
//   index header (offset indexOffset, 40 bytes)
//     +0x00  4  MapMagic: the address of the first tag entry
//     +0x0C  4  TagCount
//     +0x28     first tag entry (tagOffset)
//   tag entry i (offset tagOffset + 32 * i)
//     +0x00 12  three class codes, each stored reversed
//     +0x0C  4  ident
//     +0x10  4  name address
//     +0x14  4  data address: the only field of the index that is ever written
//     +0x18  4  Custom Edition: 1 for a resource tag, whose data address is an index into a
//               resource map (bitmaps.map, sounds.map, loc.map), not an address
//
// An address is a file offset plus Magic, where Magic = MapMagic - tagOffset (32-bit wrapping).
// docs/map-format.md describes the format in prose.

#include <cstdint>
#include <string_view>

namespace xsc::mapformat {

constexpr std::string_view kHeaderCode = "daeh";    // "head", stored reversed
constexpr std::int64_t kHeaderCodeOffset = 0x00;
constexpr std::int64_t kIndexOffsetField = 0x10;           // daeh header
constexpr std::int64_t kAlternateIndexOffsetField = 0x5EC;  // any other header
constexpr std::int64_t kFileSizeField = 0x008;              // daeh header: the map's length
constexpr std::int64_t kAlternateFileSizeField = 0x5E8;     // the alternate header's
constexpr std::int64_t kTagDataSizeField = 0x014;           // daeh header: indexOffset to the end
constexpr std::int64_t kAlternateTagDataSizeField = 0x2C4;  // the alternate header's
constexpr std::int64_t kAlternateHeaderCodeField = 0x2C0;   // the demo's header code, as stored
constexpr std::string_view kAlternateHeaderCode = "dehE";  // "Ehed", stored reversed
constexpr std::int64_t kHeaderCodesEnd = 0x2C4;  // the first bytes that hold either header code

// What the PC game can hold: it loads the tag data (tag data size bytes from indexOffset) into a
// tag memory of this size, and reads no map longer than the second. A compile refuses to take a
// map past either when it was within before.
constexpr std::int64_t kGameTagMemory = 0x1700000;
constexpr std::int64_t kGameLargestMap = 0x18000000;

// The compile mark: while a compile in place changes a map, these bytes of its header hold
// kCompileMark, so that the map is never taken for whole under a name whose journal is not beside
// it (a hard link, a copy). In a "daeh" header they lie in the padding 0x068..0x7FB; in the
// alternate header they lie in front of its first field (0x2C0), away from every field the game
// reads there (0x2C0..0x2C7, 0x588, 0x5E8..0x5EF). No part of xsc reads them either. The mark is
// transient: the journal saves the bytes under it like every byte it saves, the commit puts them
// back last and a rollback restores them, so a finished or undone compile leaves them as they were.
constexpr std::int64_t kCompileMarkField = 0x200;
constexpr std::string_view kCompileMark = "xsc: compiling!!";  // 16 bytes

constexpr std::int64_t kIndexMapMagic = 0x00;
constexpr std::int64_t kIndexTagCount = 0x0C;
constexpr std::int64_t kIndexHeaderSize = 0x28;  // tagOffset = indexOffset + this

constexpr std::int64_t kTagEntrySize = 32;
constexpr std::int64_t kTagClass1 = 0x00;
constexpr std::int64_t kTagClass2 = 0x04;
constexpr std::int64_t kTagClass3 = 0x08;
constexpr std::int64_t kTagIdent = 0x0C;
constexpr std::int64_t kTagNameAddress = 0x10;
constexpr std::int64_t kTagDataAddress = 0x14;
constexpr std::int64_t kTagIndexed = 0x18;
constexpr std::int32_t kTagIndexedResource = 1;

constexpr std::int64_t kClassCodeSize = 4;

// The largest file offset the 32-bit format can express, plus one.
constexpr std::int64_t kMaxFileLength = 0x7FFFFFFF;

}  // namespace xsc::mapformat
