#include "map/TagSpans.h"

#include <algorithm>

#include "map/HaloPcMap.h"

namespace xsc {

TagSpans::TagSpans(const HaloPcMap& map, std::int64_t insertionPoint, std::int64_t growth, std::int64_t newLength) {
    for (std::size_t i = 0; i < map.TagCache.size(); ++i) {
        std::int64_t offset = map.TagCache[i]->Offset;
        if (offset >= insertionPoint) offset += growth;
        if (offset < 0 || offset >= newLength) continue;
        starts_.push_back({offset, static_cast<std::int32_t>(i)});
    }
    // Tags sharing a start: the first in the index holds it.
    std::stable_sort(starts_.begin(), starts_.end(), [](const Start& a, const Start& b) { return a.offset < b.offset; });
}

TagSpans::Holder TagSpans::Holding(std::int64_t fileOffset) const {
    auto after = std::upper_bound(starts_.begin(), starts_.end(), fileOffset,
                                  [](std::int64_t offset, const Start& s) { return offset < s.offset; });
    if (after == starts_.begin()) return {};
    const std::int64_t start = std::prev(after)->offset;
    // The first of the tags that start there.
    const auto first = std::lower_bound(starts_.begin(), after, start,
                                        [](const Start& s, std::int64_t offset) { return s.offset < offset; });
    return {first->tag, fileOffset - start};
}

void TagSpans::Attribute(std::vector<CorrectedWord>& words) const {
    for (CorrectedWord& w : words) {
        if (w.place != CorrectedWord::Place::TagData) continue;
        const Holder h = Holding(w.fileOffset);
        w.tag = h.tag;
        w.offsetInTag = h.offsetInTag;
    }
}

}  // namespace xsc
