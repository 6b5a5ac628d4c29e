// The address fix-up's range test at its exact bounds, with and without the list of corrected
// words, and the words it scans. Whole compiles hold the fix-up to the reference
// (tests/robustness), and the streamed move in chunks to a model (tests/scriptdata/MoveTail_test.cpp).

#include <gtest/gtest.h>

#include "map/UpdateFromPoint.h"
#include "runtime/Error.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

using test::Bytes;

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
        {"none", static_cast<std::int32_t>(0x80000000u), 0x10, -4, 0, Words({0x80000000, 0, 0x7FFFFFFF}),
         Words({0x80000000, 0, 0x7FFFFFFF})},
    };
    for (const RangeCase& c : cases) {
        // The words stand right behind the moved insertion point, where tag 1's data starts.
        const AddressFixup fixup(c.magic, c.insertion, c.insertion, c.growth, c.oldLength);
        const std::int64_t at = c.insertion + c.growth;
        Bytes b = c.words;
        Bytes listed = c.words;
        std::vector<CorrectedWord> list;
        const std::size_t n = fixup.ScanWords(b.data(), b.size(), at);
        EXPECT_EQ(b, c.expected) << c.name;
        EXPECT_EQ(fixup.ScanWords(listed.data(), listed.size(), at, &list), n) << c.name;
        EXPECT_EQ(listed, c.expected) << c.name;
        EXPECT_EQ(list.size(), n) << c.name;
        for (const CorrectedWord& w : list) {  // each listed where it lies, with both values
            EXPECT_EQ(test::Get32(c.words, static_cast<std::size_t>(w.fileOffset - at)), w.oldValue) << c.name;
            EXPECT_EQ(test::Get32(listed, static_cast<std::size_t>(w.fileOffset - at)), w.newValue) << c.name;
        }
    }
}

// Chunks start on a word of the scan; a partial last word is not one. A scan start inside the
// region the compile wrote (which ends at insertion point + growth) steps over it on its grid.
TEST(AddressFixup, ScansWholeWordsFromTheScanStart) {
    const AddressFixup fixup(0, 10, 0, 4, 64);
    Bytes b(16);
    EXPECT_THROW(fixup.ScanWords(b.data(), b.size(), 12), Error);
    EXPECT_NO_THROW(fixup.ScanWords(b.data(), b.size(), 14));
    Bytes partial = Words({0x1100, 0x1100});
    EXPECT_EQ(AddressFixup(0x100, 0x1008, 0x1000, 8, 0x2000).ScanWords(partial.data(), 7, 0x1008), 1u);
    EXPECT_EQ(partial, Words({0x1108, 0x1100}));
    EXPECT_EQ(AddressFixup(0, 2, 0x10, 8, 64).ScanStart(), 0x1A);
    EXPECT_EQ(AddressFixup(0, 0x20, 0x10, -8, 64).ScanStart(), 0x18);
}

}  // namespace
}  // namespace xsc
