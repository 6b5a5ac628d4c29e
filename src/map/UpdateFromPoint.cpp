#include "map/UpdateFromPoint.h"

#include <algorithm>
#include <limits>

#include "map/HaloPcMap.h"
#include "map/MapFormat.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/Int32.h"

namespace xsc {
namespace {

// The 64-bit upper bound folded into an inclusive signed 32-bit bound, so the hot loop needs
// two 32-bit compares. Returns false when no 32-bit value can be in range.
bool InclusiveBounds(std::int32_t lower, std::int64_t upper, std::int32_t& lo, std::int32_t& hi) {
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::int64_t highest = upper - 1;
    if (highest < kMin) return false;
    lo = lower;
    hi = static_cast<std::int32_t>(std::min(highest, kMax));
    return lo <= hi;
}

// Branch-free, so that its speed does not depend on how many words are addresses and the
// compiler can vectorise it: every word is rewritten, with the growth added only where it is in
// range, and the count is the sum of the range tests.
std::size_t ScanFast(std::uint8_t* data, std::size_t words, std::int32_t lo, std::int32_t hi, std::uint32_t growth) {
    std::uint32_t count = 0;
    std::size_t total = 0;
    // Counted in 32 bits per block of 2^30 words, which vectorises better than a 64-bit sum.
    constexpr std::size_t kBlock = std::size_t{1} << 30;
    for (std::size_t first = 0; first < words; first += kBlock) {
        const std::size_t last = std::min(words, first + kBlock);
        count = 0;
        for (std::size_t i = first; i < last; ++i) {
            std::uint8_t* p = data + 4 * i;
            const std::uint32_t w = LoadLe32(p);
            const auto v = static_cast<std::int32_t>(w);
            const std::uint32_t in = static_cast<std::uint32_t>(v >= lo) & static_cast<std::uint32_t>(v <= hi);
            StoreLe32(p, w + ((0u - in) & growth));
            count += in;
        }
        total += count;
    }
    return total;
}

// Tag 1's data offset as loaded, moved back with the file when it shrinks, then stepped over the
// region the compile wrote (which ends at insertionPoint + growth) in whole words, keeping the
// scan's word grid.
std::int64_t FirstScannedWord(std::int32_t scanStart, std::int32_t insertionPoint, std::int32_t growth) {
    const std::int64_t start = std::int64_t{scanStart} + std::min(growth, 0);
    const std::int64_t regionEnd = std::int64_t{insertionPoint} + growth;
    if (start >= regionEnd) return start;
    return start + (regionEnd - start + 3) / 4 * 4;
}

}  // namespace

AddressFixup::AddressFixup(std::int32_t magic, std::int32_t scanStart, std::int32_t insertionPoint,
                           std::int32_t growth, std::int64_t oldLength)
    : lowerBound_(Wrap32(std::int64_t{insertionPoint} + magic)),
      upperBound_(std::max(oldLength, oldLength + growth) + magic),
      growth_(growth),
      scanStart_(FirstScannedWord(scanStart, insertionPoint, growth)) {}

std::int32_t AddressFixup::Corrected(std::int32_t value) const { return Wrap32(std::int64_t{value} + growth_); }

std::size_t AddressFixup::IndexPass(std::uint8_t* entries, std::int32_t tagCount, std::int64_t tagOffset,
                                    std::vector<CorrectedWord>* corrected, FixupMode mode) const {
    if (growth_ == 0) return 0;  // nothing moved: no word changes
    std::size_t count = 0;
    for (std::int32_t i = 0; i < tagCount; ++i) {
        const std::int64_t entry = mapformat::kTagEntrySize * i;
        if (mode == FixupMode::Walk &&
            static_cast<std::int32_t>(DecodeFixed32(entries + entry + mapformat::kTagIndexed)) == mapformat::kTagIndexedResource) {
            continue;
        }
        const std::int64_t field = entry + mapformat::kTagDataAddress;
        std::uint8_t* p = entries + field;
        const auto v = static_cast<std::int32_t>(DecodeFixed32(p));
        if (!InRange(v)) continue;
        EncodeFixed32(p, static_cast<std::uint32_t>(Corrected(v)));
        ++count;
        if (corrected) {
            corrected->push_back({tagOffset + field, static_cast<std::uint32_t>(v), static_cast<std::uint32_t>(Corrected(v)),
                                  CorrectedWord::Place::TagIndex, i});
        }
    }
    return count;
}

std::size_t AddressFixup::ScanWords(std::uint8_t* bytes, std::size_t size, std::int64_t fileOffset,
                                    std::vector<CorrectedWord>* corrected) const {
    const std::int64_t end = fileOffset + static_cast<std::int64_t>(size);
    if (end <= scanStart_ || growth_ == 0) return 0;
    const std::int64_t from = std::max(fileOffset, scanStart_);
    if ((from - scanStart_) % 4 != 0) {
        throw Error::AtOffset("internal error: the word scan was handed bytes that do not start on a word", fileOffset);
    }
    return ScanGrid(bytes, fileOffset, from, end, corrected);
}

std::size_t AddressFixup::ScanGrid(std::uint8_t* bytes, std::int64_t fileOffset, std::int64_t first, std::int64_t end,
                                   std::vector<CorrectedWord>* corrected) const {
    if (growth_ == 0 || end - first < 4) return 0;
    std::uint8_t* data = bytes + (first - fileOffset);
    const auto words = static_cast<std::size_t>((end - first) / 4);

    if (corrected == nullptr) {
        std::int32_t lo = 0;
        std::int32_t hi = 0;
        if (!InclusiveBounds(lowerBound_, upperBound_, lo, hi)) return 0;
        return ScanFast(data, words, lo, hi, static_cast<std::uint32_t>(growth_));
    }
    // Listing every corrected word for the user: a branch per word is fine here.
    std::size_t count = 0;
    for (std::size_t i = 0; i < words; ++i) {
        std::uint8_t* p = data + 4 * i;
        const auto v = static_cast<std::int32_t>(DecodeFixed32(p));
        if (!InRange(v)) continue;
        EncodeFixed32(p, static_cast<std::uint32_t>(Corrected(v)));
        corrected->push_back({first + static_cast<std::int64_t>(4 * i), static_cast<std::uint32_t>(v),
                              static_cast<std::uint32_t>(Corrected(v))});
        ++count;
    }
    return count;
}

void HaloPcMap::Moved(const AddressFixup& fixup, std::int64_t newLength) {
    LoadedLength = newLength;
    if (fixup.Growth() == 0) return;
    for (const std::shared_ptr<Tag>& tag : TagCache) {
        const std::int32_t address = Wrap32(std::int64_t{tag->Offset} + Magic);
        if (fixup.InRange(address)) tag->Offset = Wrap32(std::int64_t{fixup.Corrected(address)} - Magic);
    }
    HeaderFileSize = Wrap32(std::int64_t{HeaderFileSize} + fixup.Growth());
    HeaderTagDataSize = Wrap32(std::int64_t{HeaderTagDataSize} + fixup.Growth());
}

AddressFixup HaloPcMap::UpdateFromPoint(std::int32_t scanStart, std::int32_t insertionPoint, std::int32_t growth) const {
    return AddressFixup(Magic, scanStart, insertionPoint, growth, LoadedLength);
}

}  // namespace xsc
