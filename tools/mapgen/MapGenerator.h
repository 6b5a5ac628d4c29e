#pragma once
// Synthetic Halo PC maps for tests, benchmarks and the sample run. No real game maps are
// available, so the generator builds maps laid out as real ones are:
//
//   0            2 KB map header ("daeh" at 0 and the index offset at 0x10, or the alternate
//                header: other bytes at 0 and the index offset at 0x5EC)
//   2048         the head: raw structure, model and sound data (pseudo-random bytes)
//   indexOffset  index header (40 bytes: MapMagic at +0, TagCount at +0x0C)
//   tagOffset    tag entries, 32 bytes each (reversed class codes, ident, name and data address)
//                tag names, zero-terminated
//   scenario     tag 0's data: script fields at 0x474..0x4A3 and 0x5A8, (with names, the named
//                blocks: NamedContent.h), then the node data
//                (56-byte header + slotCapacity 20-byte slots), then exactly 1024 bytes of string
//                data, then more scenario data
//   other tags   data of tags 1..n-1, sprinkled with words that are addresses pointing before,
//                at and behind the end of the string data
//
// Everything is determined by the options: the same options give the same bytes. Bad options
// (no tags, negative sizes, a map past 2^31 - 1 bytes) throw xsc::Error.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xsc::mapgen {

struct MapOptions {
    std::uint64_t seed = 1;
    bool daehHeader = true;           // false: the alternate header (index offset at 0x5EC)
    std::string headerCode = "daeh";  // the 4 bytes at offset 0 when daehHeader ("DAEH" works too);
                                      // with the alternate header any 4 bytes but a daeh code, and
                                      // a daeh code there stands for kAlternateHeaderCode
    std::int64_t headSize = 64 * 1024;         // raw data between the 2 KB header and the index
    std::int32_t tagCount = 16;                // at least 1; tag 0 is the scenario
    std::int32_t slotCapacity = 19001;         // node slots the node data has room for
    std::int64_t tagDataSize = 256 * 1024;     // data of tags 1..n-1, all together
    std::int32_t scenarioTailSize = 4096;      // scenario data behind the string data
    std::int32_t mapMagic = 0x40440028;        // MapMagic; Magic = MapMagic - tagOffset
    std::uint32_t addressEvery = 16;           // about one address per this many words of tag data;
                                               // 0 places none
    bool scenarioBlocks = false;               // the scenario's cutscene flags (2), references (1)
                                               // and cutscene camera points (3) lie in its data
                                               // behind the string data, its source files (1) in
                                               // front; its other blocks are empty. Needs a
                                               // scenario tail of at least kScenarioBlocksTail.
    bool names = false;                        // the named things scripts use (SampleNames.h): the
                                               // scenario's named blocks in front of the node data,
                                               // its cutscene blocks at the start of its tail, and
                                               // tags 1 to 16 of the classes scripts name (a hud
                                               // message text tag, globals, hud globals, sounds,
                                               // objects, ...). Needs a tag count of at least 17
                                               // and cannot go with scenarioBlocks.
    bool realisticFill = false;                // the other words of tag data: false, pseudo-random
                                               // (about 2% of them then fall in the fix-up's range
                                               // by chance); true, as real tag data: zeros, small
                                               // integers, unit floats and 16-bit pairs, none of
                                               // which looks like an address
    // Tags with real structures by the tag layouts (mapgen/TagStructures.h): tags 1..n-1 of classes
    // weap, bipd, vehi, effe, snd!, bitm, mod2, jpt!, proj, each at least kSmallestStructuredTag
    // bytes, and the scenario's own blocks in its tail (at least kSmallestStructuredTail bytes),
    // the first of them its structure BSP. Excludes scenarioBlocks; addressEvery and realisticFill
    // do not apply. The default (false) keeps the maps of earlier versions byte for byte.
    bool structured = false;
    // The value of the header's engine field (engine/MapEngine.h: 7 retail or 609 custom at 0x4
    // of a daeh header; 6 demo at 0x588 of the alternate header, which then also gets its code
    // "dehE" at 0x2C0, the code Ehed stored reversed). Empty: the field holds filler like the rest of the header.
    std::optional<std::uint32_t> engineValue{};
    // Script data laid out as the game's official tools lay it out (mapgen/OfficialScripts.h):
    // this many generated scripts, or the scripts of officialSource (a text of the source language)
    // when it is not empty. The string data then holds their texts and its zero tail instead of the
    // fresh 1024 zero bytes, and the script records and global records follow it directly, in
    // front of the scenario tail. Needs names. 0 and empty: a fresh map, as before.
    std::int32_t officialScripts = 0;
    std::string officialSource{};
};

// The 4 bytes at offset 0 of an alternate header when no other code is asked for: the version
// number 7 as a little-endian 32-bit integer.
inline constexpr std::string_view kAlternateHeaderCode{"\x07\x00\x00\x00", 4};

// Tag data also holds small floats, 3.0f to 23.0f: their bit patterns lie near 0x40400000, where
// the addresses of maps with a typical Magic lie, so the fix-up cannot tell them from addresses.
inline constexpr float kSmallestFloat = 3.0f;
inline constexpr float kLargestFloat = 23.0f;

// The scenario tail the blocks of `scenarioBlocks` need: they lie at its offsets 0, 32 and 64.
inline constexpr std::int32_t kScenarioBlocksTail = 96;

// Where everything landed (file offsets unless named otherwise).
struct MapLayout {
    std::int64_t fileLength = 0;
    std::int32_t indexOffset = 0;
    std::int32_t tagOffset = 0;
    std::int32_t mapMagic = 0;
    std::int32_t magic = 0;  // mapMagic - tagOffset, 32-bit wrapping
    std::int32_t tagCount = 0;
    std::int32_t scenarioOffset = 0;    // tag 0's data
    std::int32_t nodeDataOffset = 0;
    std::int32_t nodeDataSize = 0;      // 56 + 20 * slotCapacity
    std::int32_t stringDataOffset = 0;  // ScriptTable
    std::int32_t stringDataEnd = 0;     // stringDataOffset + 1024 (or the official string data's size):
                                        // the insertion point
    std::int32_t scenarioTailOffset = 0;  // the scenario data behind the string data: stringDataEnd, or
                                          // behind the official script and global records
    std::vector<std::int32_t> tagDataOffsets;  // per tag, tag 0 = scenarioOffset
    std::vector<std::string> tagNames;
    std::vector<std::int32_t> tagDataSizes;    // per tag; tag 0 counts the whole scenario data
    std::vector<std::string> tagClasses;       // Class1 in reading order ("scnr" for tag 0)
    std::vector<std::uint32_t> tagIdents;
    std::int32_t namesOffset = 0;              // the first tag name
    std::int32_t scanStart = 0;                // tag 1's data (fileLength with a single tag)
    // Structured maps, once generated (GenerateMap, WriteMap): the file offsets of every address
    // field the generator wrote (block, data and tag path addresses), and of every file offset
    // into the map (the structure BSP's start).
    std::vector<std::int64_t> addressFields;
    std::vector<std::int64_t> fileOffsetFields;
};

// The layout the options give, without generating any bytes.
MapLayout PlanMap(const MapOptions& options);
// The whole map in memory (for small maps in tests).
std::vector<std::uint8_t> GenerateMap(const MapOptions& options, MapLayout* layout = nullptr);
// Streams the map to a file without holding the head in memory; the same bytes as GenerateMap.
MapLayout WriteMap(const std::filesystem::path& path, const MapOptions& options);

}  // namespace xsc::mapgen
