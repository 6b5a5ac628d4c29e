#pragma once
// The fix-up by the tag layouts: what a compile corrects when it moves the bytes from the
// insertion point on, decided by a walk of every tag (TagWalk.h) before anything is written.
//
// Of the fields the walk found, an address is corrected when it designates a moved byte (the range
// test of AddressFixup), a file offset into this map when it lies at or behind the insertion point
// and inside the file (a BSP, sound samples or bitmap pixels kept behind the scripts): both move by
// the growth. Every other word is left as it is. A tag that fell back gets the word scan over its
// own bytes (on the word grid from its data offset). Bytes the compile writes itself (its new
// region, and the fields it fills in: `owned`) are never corrected.
//
// Words in front of the string data do not move: their corrections are handed to the write phase
// as small writes (`front`). Words of the moved bytes are corrected by the move: a sorted list of
// their offsets in the moved file, and the moved bytes of fallen-back tags, both consumed chunk by
// chunk (MovedWordFixup), so memory grows with the number of addresses, not with the map.
//
// The tags are walked in file order. Those whose bytes start in front of the insertion point are
// walked before anything is written, as only they hold words in front of the string data (the
// write phase's small writes). The others are walked at once (Walk::Now) or just before the move
// reaches their bytes (Walk::AsMoved, for a move front to back into another file): a tag's words
// lie in its own bytes, so once the tags starting before an offset are walked, every word in
// front of it is known.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "map/TagWalk.h"
#include "map/UpdateFromPoint.h"

namespace xsc {

class BinaryStream;
class HaloPcMap;

struct MovedBytes {
    std::int64_t regionStart = 0;     // the string data: the compile's new region starts here
    std::int64_t insertionPoint = 0;  // P: the bytes from here on move by the growth
    std::int64_t oldLength = 0;
    std::vector<WalkOptions::Range> owned;  // fields the compile writes itself
};

class WalkedFixup : public MovedWordFixup {
public:
    // When the tags behind the insertion point are walked: all at once before anything is written
    // (a compile in place: its reads come before its first write), or as the move reaches their
    // bytes (a compile into another file: the disk takes the first moved bytes while the rest is
    // walked).
    enum class Walk { Now, AsMoved };

    // Walks the map (the file as loaded, which must outlive the fix-up) and plans the corrections:
    // every one, or those in front of the insertion point with the rest left to Reach. `record`:
    // keep the field path of every word, and what the walk visited, for listing (it walks now).
    WalkedFixup(BinaryStream& file, const HaloPcMap& map, const AddressFixup& range, const MovedBytes& moved, bool record,
                Walk when = Walk::Now);
    WalkedFixup(const WalkedFixup&) = delete;  // the walk calls back into this very object
    WalkedFixup& operator=(const WalkedFixup&) = delete;

    void Reach(std::int64_t end) override;
    // Walks whatever is left: Fallbacks() is then whole.
    void Finish();

    std::int64_t ChunkAnchor() const override { return range_.ScanStart(); }
    std::int64_t SafeCut(std::int64_t cut) const override;
    std::size_t Correct(std::uint8_t* bytes, std::size_t size, std::int64_t fileOffset,
                        std::vector<CorrectedWord>* corrected) const override;

    // Corrections of words in front of the string data (file offsets unchanged by the move).
    const std::vector<CorrectedWord>& Front() const { return front_; }
    // The tags that fell back to the word scan, in tag order, once the walk is finished.
    const std::vector<FallbackTag>& Fallbacks() const { return fallbacks_; }

    // When recording: the words on the word scan's grid (from its start in the moved file) whose
    // value is in range and that this fix-up leaves alone, named by the walked field around them.
    // Reads the moved bytes from `file` (the map before the move) once more.
    std::vector<CorrectedWord> LeftAlone(BinaryStream& file, std::int64_t newLength) const;

private:
    struct Scan {
        std::int64_t start, end;  // moved file
        std::int64_t anchor;      // the tag's word grid
    };
    // Walks the tags whose bytes start before `end` (the map as it is) and plans their words.
    void WalkBefore(std::int64_t end);
    void SortListedFrom(std::size_t first);
    void PlanField(const WalkedField& field);
    void PlanFallback(BinaryStream& file, const FallbackTag& tag);
    void ScanFront(BinaryStream& file, const FallbackTag& tag, std::int64_t start, std::int64_t end);
    bool IsScanned(std::int64_t offset) const;
    std::string FieldAround(std::int64_t oldOffset) const;

    AddressFixup range_;
    MovedBytes moved_;
    bool record_;
    BinaryStream& file_;
    WalkOptions options_;
    std::unique_ptr<TagWalkInFileOrder> walk_;
    std::size_t fallbacksPlanned_ = 0;   // of walk_->Fallbacks()
    bool finished_ = false;
    std::vector<std::int64_t> listed_;   // moved file offsets of the words to correct, sorted
    std::vector<std::int32_t> listedTags_;     // when recording, per listed word
    std::vector<std::string> listedPaths_;     // when recording, per listed word
    std::vector<Scan> scans_;            // sorted, disjoint
    std::vector<CorrectedWord> front_;
    std::vector<FallbackTag> fallbacks_;
    std::vector<WalkedRange> ranges_;    // when recording
};

}  // namespace xsc
