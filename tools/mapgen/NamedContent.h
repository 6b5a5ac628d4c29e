#pragma once
// The bytes of the named things of a map generated with MapOptions::names (SampleNames.h):
//
//   scenario structure   the block fields of the named blocks, the placement blocks and the
//                        encounters (count, address), and the hud message text dependency at
//                        0x594 (class "hmt ", tag ID of tag 1); the other block fields 0 (empty)
//   names region         in front of the node data: each named block's elements (zero, with the
//                        name at the block's name offset), the placements (name index at +2,
//                        palette index 0), the encounters and their squads and platoons;
//                        object_names elements carry the placed object's type and index at +32
//                        and +34 (-1, -1 when nothing is placed under the name)
//   tail                 at the start of the data behind the string data: the cutscene flags,
//                        camera points and titles
//   tag 1 (hmt)          0x40 bytes with the messages' block field at +0x20, then the messages
//   tag 2 (matg)         0x150 bytes with the interface bitmaps' block field at +0x140, then one
//                        304-byte element holding the dependency on tag 3 at +0x60
//   tag 3 (hudg)         0x170 bytes with the waypoint arrows' block field at +0x160, then the
//                        arrows
//   tags 4 to 16         64 bytes each, filled as any tag data
//
// In a structured map (MapOptions::structured) the named tags are structured tags of their class
// like the others, each kSmallestStructuredTag bytes, with the blocks above laid out behind their
// root struct by the tag layouts (NamedTagBlocks), and every dependency names its tag's path too.

#include <cstdint>
#include <vector>

#include "mapgen/MapGenerator.h"
#include "mapgen/TagStructures.h"

namespace xsc::mapgen {

// The tags that hold the named blocks of other tags.
inline constexpr std::int64_t kHudMessageTextTag = 1, kGlobalsTag = 2, kHudGlobalsTag = 3;

std::int64_t NamesRegionSize();
std::int64_t NamesTailSize();
// The data sizes of tags 1, 2, ... of SampleNames' tags.
std::vector<std::int32_t> NamedTagSizes(bool structured);

// Writes the fields into the scenario structure (kScenarioStructSize bytes); `hudMessagesPath` is
// the address of the hud message text tag's path (0: left out, as maps without structures have
// it). Returns the offsets in the structure of the addresses it wrote.
std::vector<std::int64_t> PutScenarioNameFields(std::uint8_t* scenario, const MapLayout& layout, std::int64_t region,
                                                std::uint32_t hudMessagesPath);
// The fields of the scenario structure PutScenarioNameFields writes.
std::vector<KeptBytes> ScenarioNameFields();
// The region's bytes; `addresses` gets the offsets in the region of the addresses in it.
std::vector<std::uint8_t> NamesRegion(const MapLayout& layout, std::int64_t region,
                                      std::vector<std::int64_t>* addresses = nullptr);
std::vector<std::uint8_t> NamesTail();

// Bytes laid over the tag data at file offsets.
struct Overlay {
    std::int64_t offset = 0;
    std::vector<std::uint8_t> bytes;
};
std::vector<Overlay> NamedTagOverlays(const MapLayout& layout);

// A structured map's named tag `tag` (1, 2, ...): the blocks of names its root struct holds.
std::vector<GivenBlock> NamedTagBlocks(std::int64_t tag);

}  // namespace xsc::mapgen
