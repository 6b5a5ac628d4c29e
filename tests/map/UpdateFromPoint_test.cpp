// The address fix-up: the exact range test, the index pass and the word scan, against a plain
// word-by-word model written from the format's rules.

#include <gtest/gtest.h>

#include <random>

#include "map/UpdateFromPoint.h"
#include "runtime/Error.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

using test::Bytes;

// The model: every whole word from `from` on, tested and corrected one at a time.
std::size_t ModelScan(Bytes& b, std::size_t from, std::int32_t insertionPoint, std::int32_t magic,
                      std::int64_t oldLength, std::int32_t growth) {
    std::size_t n = 0;
    const auto lower = static_cast<std::int32_t>(static_cast<std::uint32_t>(insertionPoint) + static_cast<std::uint32_t>(magic));
    const std::int64_t upper = std::max(oldLength, oldLength + growth) + magic;
    for (std::size_t at = from; at + 4 <= b.size(); at += 4) {
        const auto v = static_cast<std::int32_t>(test::Get32(b, at));
        if (v >= lower && std::int64_t{v} < upper) {
            test::Put32(b, at, static_cast<std::uint32_t>(v) + static_cast<std::uint32_t>(growth));
            ++n;
        }
    }
    return n;
}

Bytes Words(std::initializer_list<std::uint32_t> words) {
    Bytes b;
    for (auto w : words) {
        b.resize(b.size() + 4);
        test::Put32(b, b.size() - 4, w);
    }
    return b;
}

struct RangeCase {
    const char* name;
    std::int32_t magic, insertion, growth;
    std::int64_t oldLength;
    Bytes words, expected;
};

TEST(AddressFixup, RangeBoundsAreExact) {
    const RangeCase cases[] = {
        // insertion 0x1000, Magic 0x100, length 0x2000 + 8: in range is [0x1100, 0x2108).
        {"growth", 0x100, 0x1000, 8, 0x2000, Words({0x10FF, 0x1100, 0x2107, 0x2108, 0xFFFFFFFF, 0x80000000}),
         Words({0x10FF, 0x1108, 0x210F, 0x2108, 0xFFFFFFFF, 0x80000000})},
        // A shrinking move keeps the old length as the upper bound: [0x1100, 0x2100).
        {"shrink", 0x100, 0x1000, -8, 0x2000, Words({0x10FF, 0x1100, 0x20FF, 0x2100}),
         Words({0x10FF, 0x10F8, 0x20F7, 0x2100})},
        // Magic near the top: the lower bound wraps negative, the upper bound does not.
        {"wrap", 0x7FFFFF00, 0x200, 4, 0x400, Words({0x800000FF, 0x80000100, 0x7FFFFFFF, 0}),
         Words({0x800000FF, 0x80000104, 0x80000003, 4})},
        // An upper bound below every 32-bit value corrects nothing.
        {"none", static_cast<std::int32_t>(0x80000000u), 0, -4, 0, Words({0x80000000, 0, 0x7FFFFFFF}),
         Words({0x80000000, 0, 0x7FFFFFFF})},
    };
    for (const RangeCase& c : cases) {
        const AddressFixup fixup(c.magic, 0, c.insertion, c.growth, c.oldLength);
        Bytes b = c.words;
        Bytes listed = c.words;
        std::vector<CorrectedWord> list;
        const std::size_t n = fixup.ScanWords(b.data(), b.size(), 0);
        EXPECT_EQ(b, c.expected) << c.name;
        EXPECT_EQ(fixup.ScanWords(listed.data(), listed.size(), 0, &list), n) << c.name;
        EXPECT_EQ(listed, c.expected) << c.name;
        EXPECT_EQ(list.size(), n) << c.name;
    }
}

// Random words with values planted around both bounds, scanned in random chunks cut on words of
// the scan, from an unaligned scan start: the same result as the model in one piece.
TEST(AddressFixup, ChunkedScanMatchesTheModel) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 200; ++round) {
        const std::size_t size = 64 + rng() % 4096;
        Bytes data(size);
        for (auto& byte : data) byte = static_cast<std::uint8_t>(rng());
        const auto magic = static_cast<std::int32_t>(rng());
        const auto insertion = static_cast<std::int32_t>(rng() % 0x100000);
        const std::int64_t length = insertion + static_cast<std::int64_t>(rng() % 0x100000);
        const auto growth = static_cast<std::int32_t>(rng() % 2 ? rng() % 4096 : -(rng() % 4096));
        for (std::size_t at = 0; at + 4 <= size; at += 1 + rng() % 16) {
            const std::int64_t base = (rng() & 1) ? std::int64_t{insertion} + magic : length + magic;
            test::Put32(data, at, static_cast<std::uint32_t>(base + static_cast<int>(rng() % 5) - 2));
        }
        // Tag 1's data as loaded; the scan starts growth earlier when the file shrinks.
        const auto loadedScanStart = static_cast<std::int32_t>(rng() % 32 + std::max(0, -growth));
        const AddressFixup fixup(magic, loadedScanStart, insertion, growth, length);
        const std::size_t scanStart = static_cast<std::size_t>(fixup.ScanStart());
        ASSERT_EQ(fixup.ScanStart(), loadedScanStart + std::min(growth, 0));

        Bytes expected = data;
        const std::size_t modelCount = ModelScan(expected, scanStart, insertion, magic, length, growth);
        std::size_t count = fixup.ScanWords(data.data(), scanStart, 0);  // the bytes before the scan start
        for (std::size_t at = scanStart; at < size;) {
            const std::size_t n = std::min(size - at, 4 * (1 + rng() % 64));
            count += fixup.ScanWords(data.data() + at, n, static_cast<std::int64_t>(at));
            at += n;
        }
        ASSERT_EQ(count, modelCount) << "round " << round;
        ASSERT_EQ(data, expected) << "round " << round;
    }
}

TEST(AddressFixup, ChunksMustStartOnAWordOfTheScan) {
    const AddressFixup fixup(0, 2, 0, 4, 64);
    Bytes b(16);
    EXPECT_THROW(fixup.ScanWords(b.data(), b.size(), 4), Error);
    EXPECT_NO_THROW(fixup.ScanWords(b.data(), b.size(), 6));
}

// Only data addresses at or behind the insertion point move; name addresses never.
TEST(AddressFixup, IndexPassCorrectsDataAddressesBehindTheInsertionPoint) {
    const std::int32_t magic = 0x40000000;
    const std::uint32_t data[] = {0x900, 0x1000, 0x5000, 0xFFC};  // scenario, at, behind, before
    Bytes entries(4 * 32);
    for (int i = 0; i < 4; ++i) {
        test::Put32(entries, 32 * i + 0x10, 0x1000 + magic);  // a name address in range
        test::Put32(entries, 32 * i + 0x14, data[i] + magic);
    }
    const AddressFixup fixup(magic, 0x2000, 0x1000, 0x5C, 0x6000);
    std::vector<CorrectedWord> list;
    EXPECT_EQ(fixup.IndexPass(entries.data(), 4, 0x828, &list), 2u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(test::Get32(entries, 32 * i + 0x10), 0x1000u + magic);
        EXPECT_EQ(test::Get32(entries, 32 * i + 0x14), data[i] + magic + (i == 1 || i == 2 ? 0x5C : 0)) << i;
    }
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].fileOffset, 0x828 + 32 + 0x14);
}

}  // namespace
}  // namespace xsc
