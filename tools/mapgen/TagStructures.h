#pragma once
// Tags with real structures, by the tag layouts (map/TagLayouts.h), for maps made with
// MapOptions::structured: each tag's data holds its class's root struct, then the elements of its
// blocks (nested blocks too, a few levels deep), the bytes of its data fields and, in the rest of
// its bytes, plain words. Block, data and tag reference fields hold real addresses (tag references
// name another tag of the map by its path's address and its ID); the flags word and file offset
// of a data field hold stale junk, as stock maps do; pointers the layouts mark as never addresses
// (runtime, vertex offsets) hold junk too, some of it in the address range. Plain words are what
// real tag data holds: zeros, small integers, unit floats, packed 16-bit pairs and floats from 3
// to 23 (which look like addresses with a typical Magic).

#include <cstdint>
#include <string>
#include <vector>

#include "mapgen/Random.h"

namespace xsc {
struct LayoutStruct;
}

namespace xsc::mapgen {

// A tag another tag may name.
struct ReferableTag {
    std::string classes[3];  // reading order; "" for none
    std::uint32_t pathAddress = 0;
    std::uint32_t ident = 0;
};

// Where the generator put every field a compile must correct, in file offsets: addresses (block,
// data and tag path addresses) and file offsets into the map (a BSP's start).
struct StructureFields {
    std::vector<std::int64_t> addresses;
    std::vector<std::int64_t> fileOffsets;
};

struct StructureContext {
    std::int32_t magic = 0;
    const std::vector<ReferableTag>* tags = nullptr;
    std::int64_t rawStart = 0;  // the head: raw data in front of the tag data, for file offsets
    std::int64_t rawEnd = 0;
    StructureFields* fields = nullptr;  // filled in when given
};

// A block of a tag's root struct whose elements the caller gives (named elements a script looks
// up): `elements` holds them laid out as the layout's element struct, and `refs` the tag
// references inside them, each naming the context's tag `tag` (class, path address and ID).
struct GivenBlock {
    struct Ref {
        std::int64_t offset = 0;  // in `elements`
        std::size_t tag = 0;      // index into StructureContext::tags
    };
    std::int64_t field = 0;  // the block field's offset in the root struct
    std::int64_t count = 0;
    std::vector<std::uint8_t> elements;
    std::vector<Ref> refs;
};

// Bytes of a struct a writer leaves as they are, from `from` up to `to` (offsets in the struct).
struct KeptBytes {
    std::int64_t from, to;
};

// Fills `size` bytes standing at file offset `at` with a tag of class `classCode`: its root struct
// first, then the given blocks' elements, the rest as the struct's other blocks and data, then
// plain words.
void WriteStructuredTag(std::uint8_t* bytes, std::int64_t size, std::int64_t at, const std::string& classCode,
                        const StructureContext& context, Random& random, const std::vector<GivenBlock>& given = {});

// The scenario's root struct (`root`, at file offset `rootAt`) with a few of its blocks, whose
// elements go into `tail` (at `tailAt`): the first 32 bytes of the tail hold one structure BSP
// element whose BSP data lies in the tail too; the structure BSPs block names it. The `kept`
// bytes of the root (the script fields, and the fields of named blocks the caller writes) are left
// as they are.
void WriteStructuredScenario(std::uint8_t* root, std::int64_t rootAt, std::uint8_t* tail, std::int64_t tailSize,
                             std::int64_t tailAt, const std::vector<KeptBytes>& kept, const StructureContext& context,
                             Random& random);

// The smallest tag WriteStructuredTag fills: room for the largest root struct of the structured
// classes and some blocks.
inline constexpr std::int64_t kSmallestStructuredTag = 8 * 1024;

// The bytes of the structure BSP the scenario's tail holds, and the shortest tail that holds it.
inline constexpr std::int64_t kStructureBspSize = 64;
inline constexpr std::int32_t kSmallestStructuredTail = 1024;

}  // namespace xsc::mapgen
