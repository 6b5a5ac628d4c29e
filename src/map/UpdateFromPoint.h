#pragma once
// The address fix-up after the bytes from an insertion point onward have moved by `growth`
// (towards the end of the file when it is positive, towards the start when it is negative).
// Every address that designates a moved byte is then wrong by exactly `growth`.
//
// The range test below says which values designate a moved byte. The word scan cannot tell an
// address from other data: every 32-bit word whose value, read as an address, falls at or behind
// the insertion point and before the end of the file is treated as one. The walk of the tag
// layouts (map/WalkedFixup.h, the default) uses the same test on the fields it knows are addresses. With L the file's length before the move and L' = L + growth its length after:
//   lower bound: v >= insertionPoint + Magic        (signed 32-bit; the sum wraps)
//   upper bound: v <  max(L, L') + Magic            (signed 64-bit; v and Magic sign-extended)
// A word in range becomes v + growth (wrapping); with a growth of 0 no word changes, and none is
// counted or listed as corrected. Two passes see the words (docs/map-format.md):
//   1. the index pass: the data address of every tag entry (the names' addresses never change);
//   2. the word scan: the words at scanStart, scanStart + 4, ... of the moved file, whole words
//      only, where scanStart is tag entry 1's data offset as loaded, plus growth when negative.
//      The scan never enters the bytes the compile itself wrote (strings, zero bytes, padding,
//      script records), which end at insertionPoint + growth in the moved file: when tag 1's
//      data stood fewer than `growth` bytes behind the old string data, the scan starts at the
//      first word of its grid at or behind that end, so the compile's own texts are never
//      "corrected" and the words it does visit are the ones it always visited.
//
// The fix-up works on bytes in memory: the caller hands it the tag index and the moved bytes, in
// one piece or in chunks, each with the file offset it will have in the moved file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace xsc {

// One word the fix-up changed, for a modder to check (floats can look like addresses), with
// where it lies: a tag index entry's data address, a field of the scenario, or a word in a tag's
// data (TagSpans.h attributes the scanned words to their tags).
struct CorrectedWord {
    enum class Place { TagData, TagIndex, Scenario };
    std::int64_t fileOffset = 0;  // in the moved file
    std::uint32_t oldValue = 0;
    std::uint32_t newValue = 0;
    Place place = Place::TagData;
    std::int32_t tag = -1;            // the tag whose entry or data holds the word; -1: none
    std::int64_t offsetInTag = 0;     // TagData: bytes from the start of that tag's data
    const char* field = nullptr;      // Scenario: the field's name
    std::string path{};               // TagData: the field by the tag's layout, when walked
};

// How a compile tells the addresses in the moved bytes: by walking every tag's layout (the
// default; map/TagWalk.h), or by the word scan alone (every word in range, as described above).
enum class FixupMode { Walk, Scan };

// What the move (scriptdata/MoveTail.h) asks of a fix-up for each chunk of the moved bytes.
class MovedWordFixup {
public:
    virtual ~MovedWordFixup() = default;
    // Makes every word in front of `end` (an offset of the moved file) known to the fix-up; the
    // move calls it before it cuts or corrects there. A fix-up planned whole has nothing to do.
    virtual void Reach(std::int64_t end) { (void)end; }
    // Chunks are cut at this offset plus multiples of the chunk size, each cut moved by SafeCut.
    virtual std::int64_t ChunkAnchor() const = 0;
    // A cut at or at most 3 bytes before `cut` that splits no word the fix-up looks at.
    virtual std::int64_t SafeCut(std::int64_t cut) const = 0;
    // Corrects the words of `bytes`, which stand at `fileOffset` of the moved file. Returns how
    // many it changed; lists them when asked.
    virtual std::size_t Correct(std::uint8_t* bytes, std::size_t size, std::int64_t fileOffset,
                                std::vector<CorrectedWord>* corrected) const = 0;
};

class AddressFixup : public MovedWordFixup {
public:
    // `scanStart` as loaded (tag entry 1's data offset); `oldLength` the file's length before
    // the move.
    AddressFixup(std::int32_t magic, std::int32_t scanStart, std::int32_t insertionPoint, std::int32_t growth,
                 std::int64_t oldLength);

    bool InRange(std::int32_t value) const {
        return value >= lowerBound_ && static_cast<std::int64_t>(value) < upperBound_;
    }
    std::int32_t Corrected(std::int32_t value) const;

    std::int32_t Growth() const { return growth_; }
    // The first word of the scan, as a file offset of the moved file: never inside the new region.
    std::int64_t ScanStart() const { return scanStart_; }

    // The index pass over `tagCount` 32-byte tag entries held in memory, which stand at file
    // offset `tagOffset`. Returns how many data addresses it corrected; lists them when asked.
    // Under the walk, the entries of Custom Edition resource tags are left alone (their data
    // address is an index into a resource map).
    std::size_t IndexPass(std::uint8_t* entries, std::int32_t tagCount, std::int64_t tagOffset,
                          std::vector<CorrectedWord>* corrected = nullptr, FixupMode mode = FixupMode::Scan) const;

    // The word scan over bytes that stand at `fileOffset` of the moved file. Only the part at or
    // behind the scan start is scanned, whole words only; when the bytes start behind the scan
    // start they must start on a word of the scan (a multiple of 4 from it), so that a caller
    // cutting the moved bytes into chunks cuts between words. Returns the words corrected.
    std::size_t ScanWords(std::uint8_t* bytes, std::size_t size, std::int64_t fileOffset,
                          std::vector<CorrectedWord>* corrected = nullptr) const;
    // The words at first, first + 4, ... that end at or before `end`, of bytes that stand at
    // `fileOffset`; [first, end) lies inside them.
    std::size_t ScanGrid(std::uint8_t* bytes, std::int64_t fileOffset, std::int64_t first, std::int64_t end,
                         std::vector<CorrectedWord>* corrected) const;

    // The word scan as the move's fix-up.
    std::int64_t ChunkAnchor() const override { return scanStart_; }
    std::int64_t SafeCut(std::int64_t cut) const override { return cut; }
    std::size_t Correct(std::uint8_t* bytes, std::size_t size, std::int64_t fileOffset,
                        std::vector<CorrectedWord>* corrected) const override {
        return ScanWords(bytes, size, fileOffset, corrected);
    }

private:
    std::int32_t lowerBound_;  // insertion point + Magic, wrapped to 32 bits
    std::int64_t upperBound_;  // max(L, L') + Magic, exclusive
    std::int32_t growth_;
    std::int64_t scanStart_;
};

}  // namespace xsc
