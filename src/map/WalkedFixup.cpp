#include "map/WalkedFixup.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "map/HaloPcMap.h"
#include "runtime/BinaryStream.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/Int32.h"

namespace xsc {
namespace {

// Bytes read at a time where the fix-up reads the map itself (front words of fallen-back tags,
// the listing of words left alone).
constexpr std::int64_t kReadPiece = 4 * 1024 * 1024;

// The first offset at or behind `offset` on the word grid from `anchor`.
std::int64_t GridUp(std::int64_t offset, std::int64_t anchor) {
    const std::int64_t delta = offset - anchor;
    return anchor + (delta >= 0 ? (delta + 3) / 4 : -((-delta) / 4)) * 4;
}

// `[start, end)` less the ranges of `holes` (sorted by start).
std::vector<WalkOptions::Range> Subtract(std::int64_t start, std::int64_t end, const std::vector<WalkOptions::Range>& holes) {
    std::vector<WalkOptions::Range> pieces;
    for (const WalkOptions::Range& h : holes) {
        if (h.end <= start || h.start >= end) continue;
        if (h.start > start) pieces.push_back({start, h.start});
        start = std::max(start, h.end);
    }
    if (start < end) pieces.push_back({start, end});
    return pieces;
}

}  // namespace

WalkedFixup::WalkedFixup(BinaryStream& file, const HaloPcMap& map, const AddressFixup& range, const MovedBytes& moved,
                         bool record, Walk when)
    : range_(range), moved_(moved), record_(record), file_(file) {
    std::sort(moved_.owned.begin(), moved_.owned.end(),
              [](const WalkOptions::Range& a, const WalkOptions::Range& b) { return a.start < b.start; });
    options_ = WalkOptions{moved_.owned, {moved_.regionStart, moved_.insertionPoint}, record, -1, {}};
    if (range_.Growth() != 0) {
        options_.onField = [this](const WalkedField& field) { PlanField(field); };
    } else {
        options_.onField = [](const WalkedField&) {};  // nothing moves: the walk only finds the fallbacks
    }
    walk_ = std::make_unique<TagWalkInFileOrder>(file, map, options_);
    WalkBefore(moved_.insertionPoint);
    if (record_ || when == Walk::Now) Finish();
}

void WalkedFixup::Reach(std::int64_t end) {
    if (!walk_->Done()) WalkBefore(end - range_.Growth());
}

void WalkedFixup::Finish() {
    if (finished_) return;
    WalkBefore(std::numeric_limits<std::int64_t>::max());
    finished_ = true;
    TagWalk walk = walk_->Take();
    fallbacks_ = std::move(walk.fallbacks);
    if (record_) ranges_ = std::move(walk.ranges);
}

void WalkedFixup::WalkBefore(std::int64_t end) {
    const std::size_t firstListed = listed_.size();
    const std::size_t firstScan = scans_.size();
    const std::size_t frontBefore = front_.size();
    walk_->WalkBefore(end);
    // The tags just walked start behind every tag walked before, and each tag's words lie in its
    // own bytes: only the new words need sorting to keep the list sorted.
    SortListedFrom(firstListed);
    const std::vector<FallbackTag>& fallbacks = walk_->Fallbacks();
    for (; fallbacksPlanned_ < fallbacks.size(); ++fallbacksPlanned_) {
        if (range_.Growth() != 0) PlanFallback(file_, fallbacks[fallbacksPlanned_]);
    }
    std::sort(scans_.begin() + static_cast<std::ptrdiff_t>(firstScan), scans_.end(),
              [](const Scan& a, const Scan& b) { return a.start < b.start; });
    if (front_.size() != frontBefore) {
        std::sort(front_.begin(), front_.end(),
                  [](const CorrectedWord& a, const CorrectedWord& b) { return a.fileOffset < b.fileOffset; });
    }
}

// Sorts the listed words from `first` on by their offset, with their tags and paths when recording.
void WalkedFixup::SortListedFrom(std::size_t first) {
    std::vector<std::size_t> order(listed_.size() - first);
    std::iota(order.begin(), order.end(), first);
    std::sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) { return listed_[a] < listed_[b]; });
    std::vector<std::int64_t> sorted;
    std::vector<std::int32_t> tags;
    std::vector<std::string> paths;
    sorted.reserve(order.size());
    for (const std::size_t i : order) {
        sorted.push_back(listed_[i]);
        if (record_) {
            tags.push_back(listedTags_[i]);
            paths.push_back(std::move(listedPaths_[i]));
        }
    }
    std::copy(sorted.begin(), sorted.end(), listed_.begin() + static_cast<std::ptrdiff_t>(first));
    if (record_) {
        std::copy(tags.begin(), tags.end(), listedTags_.begin() + static_cast<std::ptrdiff_t>(first));
        std::move(paths.begin(), paths.end(), listedPaths_.begin() + static_cast<std::ptrdiff_t>(first));
    }
}

void WalkedFixup::PlanField(const WalkedField& field) {
    const std::int64_t growth = range_.Growth();
    bool moves = false;
    std::int32_t corrected = 0;
    if (field.kind == WalkedField::Kind::FileOffset) {
        moves = field.value >= moved_.insertionPoint && field.value < moved_.oldLength;
        corrected = Wrap32(std::int64_t{field.value} + growth);
    } else {
        moves = range_.InRange(field.value);
        corrected = range_.Corrected(field.value);
    }
    if (!moves) return;
    if (field.offset + 4 <= moved_.regionStart) {
        front_.push_back({field.offset, static_cast<std::uint32_t>(field.value), static_cast<std::uint32_t>(corrected),
                          CorrectedWord::Place::TagData, field.tag, 0, nullptr, field.path});
    } else if (field.offset >= moved_.insertionPoint) {
        listed_.push_back(field.offset + growth);
        if (record_) {
            listedTags_.push_back(field.tag);
            listedPaths_.push_back(field.path);
        }
    } else {
        // inside the region the compile rewrites: gone with it
    }
}

void WalkedFixup::PlanFallback(BinaryStream& file, const FallbackTag& tag) {
    const std::int64_t growth = range_.Growth();
    for (const WalkOptions::Range& piece : Subtract(tag.start, std::min(tag.end, moved_.regionStart), moved_.owned)) {
        ScanFront(file, tag, piece.start, piece.end);
    }
    const std::int64_t movedStart = std::max(tag.start, moved_.insertionPoint);
    if (movedStart < tag.end) scans_.push_back({movedStart + growth, tag.end + growth, tag.start + growth});
}

void WalkedFixup::ScanFront(BinaryStream& file, const FallbackTag& tag, std::int64_t start, std::int64_t end) {
    std::vector<std::uint8_t> bytes;
    for (std::int64_t at = GridUp(start, tag.start); at + 4 <= end;) {
        const std::int64_t pieceEnd = std::min(end, at + kReadPiece);
        bytes.resize(static_cast<std::size_t>(pieceEnd - at));
        file.SetPosition(at);
        file.ReadInto(bytes.data(), bytes.size());
        for (std::int64_t w = at; w + 4 <= pieceEnd; w += 4) {
            const auto v = static_cast<std::int32_t>(DecodeFixed32(bytes.data() + (w - at)));
            if (!range_.InRange(v)) continue;
            front_.push_back({w, static_cast<std::uint32_t>(v), static_cast<std::uint32_t>(range_.Corrected(v)),
                              CorrectedWord::Place::TagData, tag.tag});
        }
        at = GridUp(pieceEnd, tag.start);
    }
}

std::int64_t WalkedFixup::SafeCut(std::int64_t cut) const {
    const auto after = std::upper_bound(listed_.begin(), listed_.end(), cut);
    if (after != listed_.begin() && *std::prev(after) + 4 > cut && *std::prev(after) < cut) return *std::prev(after);
    const auto scan = std::upper_bound(scans_.begin(), scans_.end(), cut, [](std::int64_t c, const Scan& s) { return c < s.start; });
    if (scan != scans_.begin() && std::prev(scan)->end > cut) {
        const Scan& s = *std::prev(scan);
        return std::max(s.start, GridUp(cut, s.anchor) == cut ? cut : GridUp(cut, s.anchor) - 4);
    }
    return cut;
}

std::size_t WalkedFixup::Correct(std::uint8_t* bytes, std::size_t size, std::int64_t fileOffset,
                                 std::vector<CorrectedWord>* corrected) const {
    const std::int64_t end = fileOffset + static_cast<std::int64_t>(size);
    const auto growth = static_cast<std::uint32_t>(range_.Growth());
    std::size_t count = 0;
    auto word = std::lower_bound(listed_.begin(), listed_.end(), fileOffset);
    for (; word != listed_.end() && *word < end; ++word) {
        if (*word + 4 > end) throw Error::AtOffset("internal error: a chunk of the move splits an address", *word);
        std::uint8_t* p = bytes + (*word - fileOffset);
        const std::uint32_t old = DecodeFixed32(p);
        EncodeFixed32(p, old + growth);
        ++count;
        if (corrected) {
            const auto i = static_cast<std::size_t>(word - listed_.begin());
            corrected->push_back({*word, old, old + growth, CorrectedWord::Place::TagData, listedTags_[i], 0, nullptr,
                                  listedPaths_[i]});
        }
    }
    auto scan = std::upper_bound(scans_.begin(), scans_.end(), fileOffset, [](std::int64_t at, const Scan& s) { return at < s.end; });
    for (; scan != scans_.end() && scan->start < end; ++scan) {
        const std::int64_t first = GridUp(std::max(scan->start, fileOffset), scan->anchor);
        count += range_.ScanGrid(bytes, fileOffset, first, std::min(scan->end, end), corrected);
    }
    return count;
}

bool WalkedFixup::IsScanned(std::int64_t offset) const {
    const auto scan = std::upper_bound(scans_.begin(), scans_.end(), offset, [](std::int64_t at, const Scan& s) { return at < s.start; });
    if (scan == scans_.begin()) return false;
    const Scan& s = *std::prev(scan);
    return offset + 4 <= s.end && (offset - s.anchor) % 4 == 0;
}

std::string WalkedFixup::FieldAround(std::int64_t oldOffset) const {
    const auto after = std::upper_bound(ranges_.begin(), ranges_.end(), oldOffset,
                                        [](std::int64_t at, const WalkedRange& r) { return at < r.start; });
    if (after == ranges_.begin() || std::prev(after)->end <= oldOffset) return "";
    const WalkedRange& r = *std::prev(after);
    std::int64_t into = oldOffset - r.start;
    std::string name = r.path.empty() ? std::string("root") : r.path;
    if (r.elementSize > 0) {
        name.append(1, '[').append(std::to_string(into / r.elementSize)).append(1, ']');
        into %= r.elementSize;
    }
    return name.append(" +").append(Hex(into));
}

std::vector<CorrectedWord> WalkedFixup::LeftAlone(BinaryStream& file, std::int64_t newLength) const {
    std::vector<CorrectedWord> alone;
    const std::int64_t growth = range_.Growth();
    if (growth == 0) return alone;
    std::vector<std::uint8_t> bytes;
    for (std::int64_t at = range_.ScanStart(); at + 4 <= newLength;) {
        const std::int64_t pieceEnd = std::min(newLength, at + kReadPiece);
        bytes.resize(static_cast<std::size_t>(pieceEnd - at));
        file.SetPosition(at - growth);
        file.ReadInto(bytes.data(), bytes.size());
        std::int64_t w = at;
        for (; w + 4 <= pieceEnd; w += 4) {
            const auto v = static_cast<std::int32_t>(DecodeFixed32(bytes.data() + (w - at)));
            if (!range_.InRange(v) || std::binary_search(listed_.begin(), listed_.end(), w) || IsScanned(w)) continue;
            alone.push_back({w, static_cast<std::uint32_t>(v), static_cast<std::uint32_t>(v), CorrectedWord::Place::TagData,
                             -1, 0, nullptr, FieldAround(w - growth)});
        }
        at = w;
    }
    return alone;
}

}  // namespace xsc
