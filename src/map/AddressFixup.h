#pragma once
// The address fix-up after a map grows.
//
// When the bytes from an insertion point onward move towards the end of the file by `growth`,
// every address that designates a moved byte is wrong by exactly `growth`. The fix-up cannot
// tell an address from other data: every 32-bit word whose value, read as an address, falls at
// or behind the insertion point and before the end of the file is treated as one.
//
// The range test is kept exactly as the map format's tools have always applied it:
//   lower: v >= insertionPoint + Magic   (signed 32-bit, the sum wraps)
//   upper: v <  fileLength + Magic       (signed 64-bit, v and Magic sign-extended)
// where fileLength is the length after the growth. A word in range becomes v + growth (wrapping).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace xsc {

struct FixupRange {
    std::int32_t lowerBound = 0;  // insertion point + Magic, wrapped to 32 bits
    std::int64_t upperBound = 0;  // file length + Magic, exclusive
    std::int32_t growth = 0;

    static FixupRange For(std::int32_t insertionPoint, std::int32_t magic, std::int64_t fileLength,
                          std::int32_t growth);
    bool InRange(std::int32_t value) const {
        return value >= lowerBound && static_cast<std::int64_t>(value) < upperBound;
    }
    std::int32_t Corrected(std::int32_t value) const {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) +
                                         static_cast<std::uint32_t>(growth));
    }
};

// One word the fix-up changed, for a modder to check (the fix-up cannot tell floats from
// addresses).
struct CorrectedWord {
    std::int64_t fileOffset = 0;
    std::uint32_t oldValue = 0;
    std::uint32_t newValue = 0;
};

// Scans the whole 32-bit words of data[0, size) in place; a partial word at the end (size not a
// multiple of 4) is left untouched. Returns how many words were corrected. When `corrected` is
// given, each corrected word is appended to it with fileOffset = baseOffset + its byte index.
std::size_t ScanWords(std::uint8_t* data, std::size_t size, const FixupRange& range,
                      std::int64_t baseOffset = 0, std::vector<CorrectedWord>* corrected = nullptr);

}  // namespace xsc
