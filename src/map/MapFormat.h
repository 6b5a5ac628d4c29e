#pragma once
// Layout of a Halo PC map file as far as xsc reads and writes it. All integers little-endian;
// offsets and addresses are 32-bit signed, so the format reaches the first 2^31 - 1 bytes.
//
//   map header (offset 0)
//     0x000  4  header code "daeh" (the code "head" stored reversed, letter case ignored)
//     0x010  4  indexOffset, when the header code is "daeh"
//     0x5EC  4  indexOffset, for any other header code (the alternate header)
//   index header (offset indexOffset, 40 bytes)
//     +0x00  4  MapMagic: the address of the first tag entry
//     +0x0C  4  TagCount
//     +0x28     first tag entry (tagOffset)
//   tag entry i (offset tagOffset + 32 * i)
//     +0x00 12  three class codes, each stored reversed
//     +0x0C  4  ident
//     +0x10  4  name address
//     +0x14  4  data address: the only field of the index that is ever written
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

constexpr std::int64_t kClassCodeSize = 4;

// The largest file offset the 32-bit format can express, plus one.
constexpr std::int64_t kMaxFileLength = 0x7FFFFFFF;

}  // namespace xsc::mapformat
