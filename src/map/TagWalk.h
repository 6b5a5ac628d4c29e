#pragma once
// The walk of the tag data by the tag layouts (TagLayouts.h): which words of a map are addresses.
//
// Each tag's data is walked from its index entry's data address through its class's root struct
// and down through every element of every block: block and data addresses, tag reference path
// addresses, and the file offsets of bytes kept in this map (a BSP's start, sound samples and
// bitmap pixels not kept in a resource map). Every other word is plain data. The walk checks as it
// goes: every struct, block and data range lies inside the tag's own bytes (its data offset up
// to the next tag's in file order), counts are within the layout's maximum, no bytes are visited
// twice. A tag that fails a check, or whose class has no layout, is not walked: it falls back to
// the word scan over its own bytes, and the result says which and why.
//
// Tags skipped as having no data here: a data address of 0 (BSP tags) and Custom Edition resource
// tags (entry +0x18 == 1: the data address is an index into a resource map), except sounds, whose
// root struct is in the map (with pitch ranges left to sounds.map).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace xsc {

class BinaryStream;
class HaloPcMap;

// One address (or file offset) field the walk found, at a file offset of the map as it is.
struct WalkedField {
    enum class Kind { BlockAddress, DataAddress, TagRefPath, FileOffset };
    Kind kind = Kind::BlockAddress;
    std::int64_t offset = 0;   // of the 32-bit word
    std::int32_t value = 0;
    std::int32_t tag = -1;
    std::string path;          // when recording: "triggers[0].firing_effects[1].firing_effect.path"
    std::int64_t extent = 0;   // block: count; data: size in bytes; otherwise 0
};

// A struct element or a data field's bytes that the walk visited, for naming the plain words in it.
struct WalkedRange {
    std::int64_t start = 0;
    std::int64_t end = 0;
    std::int32_t tag = -1;
    std::string path;  // "triggers" (a block's elements), "" (the root struct), "sound.data" (data bytes)
    std::int64_t elementSize = 0;  // a block's: names element [i]; 0 otherwise
};

struct FallbackTag {
    std::int32_t tag = -1;
    std::int64_t start = 0;  // its own bytes, file offsets of the map as it is
    std::int64_t end = 0;
    std::string reason;
};

struct TagWalk {
    std::vector<WalkedField> fields;      // every address field of the walked tags, tag by tag in file order
    std::vector<WalkedRange> ranges;      // when asked for: visited bytes, sorted by start
    std::vector<FallbackTag> fallbacks;   // in tag order
    std::vector<std::int32_t> walked;     // tags walked whole
};

struct WalkOptions {
    // Bytes the walk must never treat as a tag's fields: what a compile writes itself.
    struct Range {
        std::int64_t start, end;
    };
    std::vector<Range> owned;
    // The bytes a compile replaces (its old strings and records): a tag whose structures lie
    // there would lose them, so its walk fails.
    Range rewritten{0, 0};
    bool record = false;  // name every field by its path, and fill TagWalk::ranges
    std::int32_t onlyTag = -1;  // walk this tag alone (xsc info --tag); -1: every tag
    // When set, the fields of each tag walked whole are handed here, tag by tag in file order, instead of
    // being kept in TagWalk::fields: a compile plans each at once and keeps a word per address,
    // not a field record.
    std::function<void(const WalkedField&)> onField;
};

// Walks the map's tags through `file` (the map as loaded). Reads only; never throws for what it
// finds in the tag data (that is a fallback), only for a file that cannot be read.
TagWalk WalkTags(BinaryStream& file, const HaloPcMap& map, const WalkOptions& options);

// The same walk taken a part at a time, the tags in file order (by their data offset): a compile
// into another file walks the tags in front of the moved bytes first, then each further tag just
// before the move reaches it, so that the disk is already taking the moved bytes while the rest is
// walked. `file`, `map` and `options` must outlive it.
class TagWalkInFileOrder {
public:
    TagWalkInFileOrder(BinaryStream& file, const HaloPcMap& map, const WalkOptions& options);
    ~TagWalkInFileOrder();
    TagWalkInFileOrder(const TagWalkInFileOrder&) = delete;
    TagWalkInFileOrder& operator=(const TagWalkInFileOrder&) = delete;

    // Walks every tag not walked yet whose bytes start before `end` (a file offset of the map as
    // it is): its fields then lie before the bytes of every tag left.
    void WalkBefore(std::int64_t end);
    bool Done() const;
    // The tags that fell back so far, in the order walked.
    const std::vector<FallbackTag>& Fallbacks() const;
    // What was walked, as WalkTags gives it: fallbacks and walked tags in tag order, ranges sorted
    // by start (the fields in the order walked).
    TagWalk Take();

private:
    struct State;
    const HaloPcMap& map_;
    std::unique_ptr<State> state_;
};

// The bytes a tag holds: its data offset to the next tag's data in file order (the end of the
// file for the last), or nothing when its data is not in the file. Tags sharing a start: the first
// in the index holds the bytes.
struct TagBytes {
    std::int64_t start = 0;
    std::int64_t end = 0;
};
std::vector<TagBytes> TagByteRanges(const HaloPcMap& map);

}  // namespace xsc
