#include "map/AddressFixup.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "runtime/ByteOrder.h"

namespace xsc {
namespace {

// The 64-bit upper bound folded into an inclusive signed 32-bit bound, so the hot loop needs
// two 32-bit compares. Returns false when no 32-bit value can be in range.
bool InclusiveBounds(const FixupRange& range, std::int32_t& lo, std::int32_t& hi) {
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::int64_t highest = range.upperBound - 1;
    if (highest < kMin) return false;
    lo = range.lowerBound;
    hi = static_cast<std::int32_t>(std::min(highest, kMax));
    return lo <= hi;
}

std::uint32_t LoadWord(const std::uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint32_t w;
        std::memcpy(&w, p, 4);
        return w;
    } else {
        return DecodeFixed32(p);
    }
}

void StoreWord(std::uint8_t* p, std::uint32_t w) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &w, 4);
    } else {
        EncodeFixed32(p, w);
    }
}

// Branch-free so the compiler can vectorise it: every word is rewritten, with the growth added
// only where the word is in range.
std::size_t ScanFast(std::uint8_t* data, std::size_t words, std::int32_t lo, std::int32_t hi,
                     std::uint32_t growth) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < words; ++i) {
        std::uint8_t* p = data + 4 * i;
        const std::uint32_t w = LoadWord(p);
        const auto v = static_cast<std::int32_t>(w);
        const std::uint32_t in = static_cast<std::uint32_t>(v >= lo) & static_cast<std::uint32_t>(v <= hi);
        StoreWord(p, w + in * growth);
        count += in;
    }
    return count;
}

std::size_t ScanRecording(std::uint8_t* data, std::size_t words, const FixupRange& range,
                          std::int64_t baseOffset, std::vector<CorrectedWord>& corrected) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < words; ++i) {
        std::uint8_t* p = data + 4 * i;
        const std::uint32_t w = DecodeFixed32(p);
        const auto v = static_cast<std::int32_t>(w);
        if (!range.InRange(v)) continue;
        const auto updated = static_cast<std::uint32_t>(range.Corrected(v));
        EncodeFixed32(p, updated);
        corrected.push_back({baseOffset + static_cast<std::int64_t>(4 * i), w, updated});
        ++count;
    }
    return count;
}

}  // namespace

FixupRange FixupRange::For(std::int32_t insertionPoint, std::int32_t magic, std::int64_t fileLength,
                           std::int32_t growth) {
    FixupRange range;
    range.lowerBound = static_cast<std::int32_t>(static_cast<std::uint32_t>(insertionPoint) +
                                                 static_cast<std::uint32_t>(magic));
    range.upperBound = fileLength + static_cast<std::int64_t>(magic);
    range.growth = growth;
    return range;
}

std::size_t ScanWords(std::uint8_t* data, std::size_t size, const FixupRange& range,
                      std::int64_t baseOffset, std::vector<CorrectedWord>* corrected) {
    const std::size_t words = size / 4;
    if (corrected != nullptr) return ScanRecording(data, words, range, baseOffset, *corrected);
    std::int32_t lo = 0;
    std::int32_t hi = 0;
    if (!InclusiveBounds(range, lo, hi)) return 0;
    return ScanFast(data, words, lo, hi, static_cast<std::uint32_t>(range.growth));
}

}  // namespace xsc
