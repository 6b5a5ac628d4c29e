#pragma once
// Which tag's data holds a byte of the map. Tag data is not described by the index beyond where
// each tag's data starts, so a tag is taken to hold everything from its data offset up to the
// next tag's (in file order); the last one holds the rest of the file. Tags whose data address
// names no byte of the file (BSP tags keep their data elsewhere and hold address 0) hold nothing.

#include <cstdint>
#include <vector>

#include "map/UpdateFromPoint.h"

namespace xsc {

class HaloPcMap;

class TagSpans {
public:
    // The tags of `map` as loaded, after a move of everything from `insertionPoint` on by
    // `growth`: the data of a tag at or behind the insertion point now starts `growth` later.
    TagSpans(const HaloPcMap& map, std::int64_t insertionPoint, std::int64_t growth, std::int64_t newLength);

    struct Holder {
        std::int32_t tag = -1;       // index entry; -1 when the offset lies before every tag's data
        std::int64_t offsetInTag = 0;
    };
    Holder Holding(std::int64_t fileOffset) const;

    // Fills in the tag and offset of every scanned word of `words` (TagData).
    void Attribute(std::vector<CorrectedWord>& words) const;

private:
    struct Start {
        std::int64_t offset;
        std::int32_t tag;
    };
    std::vector<Start> starts_;  // sorted by offset
};

}  // namespace xsc
