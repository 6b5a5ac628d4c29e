// The address fix-up: the exact range test, the index pass and the word scan, in memory and on
// files (chunked), against a plain word-by-word model.

#include <gtest/gtest.h>

#include <random>

#include "support/TestFiles.h"
#include "map/AddressFixup.h"
#include "map/HaloPcMap.h"

namespace xsc {
namespace {

using test::Bytes;

// The model: the fix-up as a plain loop over words, written from the format's rules.
std::size_t ModelScan(Bytes& b, std::size_t from, std::int32_t insertionPoint, std::int32_t magic,
                      std::int64_t fileLength, std::int32_t growth) {
    std::size_t n = 0;
    const auto lower = static_cast<std::int32_t>(static_cast<std::uint32_t>(insertionPoint) + static_cast<std::uint32_t>(magic));
    const std::int64_t upper = fileLength + magic;
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
    Bytes b(words.size() * 4);
    std::size_t at = 0;
    for (auto w : words) {
        test::Put32(b, at, w);
        at += 4;
    }
    return b;
}

TEST(FixupRange, BoundariesAreExact) {
    // insertion point 0x1000, Magic 0x100, length 0x2000: in range is [0x1100, 0x2100).
    const FixupRange r = FixupRange::For(0x1000, 0x100, 0x2000, 8);
    Bytes b = Words({0x10FF, 0x1100, 0x20FF, 0x2100, 0xFFFFFFFF, 0x80000000});
    EXPECT_EQ(ScanWords(b.data(), b.size(), r), 2u);
    EXPECT_EQ(test::Get32(b, 0), 0x10FFu);
    EXPECT_EQ(test::Get32(b, 4), 0x1108u);   // equal to the lower bound: corrected
    EXPECT_EQ(test::Get32(b, 8), 0x2107u);   // last value below the upper bound
    EXPECT_EQ(test::Get32(b, 12), 0x2100u);  // equal to the upper bound: not corrected
    EXPECT_EQ(test::Get32(b, 16), 0xFFFFFFFFu);  // negative: below a positive lower bound
    EXPECT_EQ(test::Get32(b, 20), 0x80000000u);

    // An upper bound below every 32-bit value corrects nothing.
    Bytes none = Words({0x80000000, 0, 0x7FFFFFFF});
    const Bytes before = none;
    EXPECT_EQ(ScanWords(none.data(), none.size(), FixupRange::For(0, static_cast<std::int32_t>(0x80000000u), 0, 4)), 0u);
    EXPECT_EQ(none, before);
}

TEST(FixupRange, LowerBoundWrapsAndUpperBoundDoesNot) {
    // Magic near the top: insertion point + Magic wraps negative in 32 bits, while
    // length + Magic is computed in 64 bits and stays above every 32-bit value.
    const std::int32_t magic = 0x7FFFFF00;
    const FixupRange r = FixupRange::For(0x200, magic, 0x400, 4);
    EXPECT_EQ(r.lowerBound, static_cast<std::int32_t>(0x80000100u));
    EXPECT_EQ(r.upperBound, std::int64_t{0x400} + magic);
    Bytes b = Words({0x800000FF, 0x80000100, 0x7FFFFFFF, 0x00000000});
    EXPECT_EQ(ScanWords(b.data(), b.size(), r), 3u);
    EXPECT_EQ(test::Get32(b, 0), 0x800000FFu);
    EXPECT_EQ(test::Get32(b, 4), 0x80000104u);
    EXPECT_EQ(test::Get32(b, 8), 0x80000003u);  // v + growth wraps
    EXPECT_EQ(test::Get32(b, 12), 0x00000004u);
}

TEST(ScanWords, MatchesTheModelOnRandomData) {
    std::mt19937 rng(20261206);
    for (int round = 0; round < 200; ++round) {
        const std::size_t size = rng() % 4096;
        Bytes data(size);
        const std::int32_t magic = static_cast<std::int32_t>(rng());
        const std::int32_t insertion = static_cast<std::int32_t>(rng() % 0x100000);
        const std::int64_t length = insertion + static_cast<std::int64_t>(rng() % 0x100000);
        for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(rng());
        // Plant values around both bounds so the boundaries are hit often.
        for (std::size_t at = 0; at + 4 <= size; at += 4 * (1 + rng() % 8)) {
            const std::int64_t base = (rng() & 1) ? std::int64_t{insertion} + magic : length + magic;
            test::Put32(data, at, static_cast<std::uint32_t>(base + static_cast<int>(rng() % 5) - 2));
        }
        const std::int32_t growth = static_cast<std::int32_t>(rng());
        Bytes expected = data;
        const std::size_t modelCount = ModelScan(expected, 0, insertion, magic, length, growth);
        const std::size_t count = ScanWords(data.data(), data.size(), FixupRange::For(insertion, magic, length, growth));
        ASSERT_EQ(count, modelCount) << "round " << round;
        ASSERT_EQ(data, expected) << "round " << round;
    }
}

// UpdateFromPoint on files: a tag index whose data addresses straddle the insertion point, and a
// large body so the scan runs over several chunks from an unaligned start.
class FileFixup : public ::testing::Test {
protected:
    static constexpr std::int32_t kInsertion = 0x1000;
    test::HandMap MakeMap(std::int32_t mapMagic) {
        test::HandMap m;
        m.mapMagic = static_cast<std::uint32_t>(mapMagic);
        const std::int32_t magic = test::HandMagic(m);
        m.tags = {test::HandTag{"rncsrncsrncs", 1, "scenario", -1, static_cast<std::uint32_t>(0x900 + magic)},
                  test::HandTag{"mtibmtibmtib", 2, "at", -1, static_cast<std::uint32_t>(kInsertion + magic)},
                  test::HandTag{"mtibmtibmtib", 3, "behind", -1, static_cast<std::uint32_t>(0x5000 + magic)},
                  test::HandTag{"mtibmtibmtib", 4, "before", -1, static_cast<std::uint32_t>(kInsertion - 4 + magic)}};
        return m;
    }
    test::TempDir dir;
};

TEST_F(FileFixup, IndexPassAndScanMatchTheModel) {
    for (std::int32_t mapMagic : {0x40440028, 0x10}) {
        test::HandMap m = MakeMap(mapMagic);
        const std::int32_t magic = test::HandMagic(m);
        Bytes bytes = test::BuildHandMap(m);
        std::mt19937 rng(7);
        const std::size_t length = 9 * 1024 * 1024 + 3;  // several chunks and a partial last word
        bytes.resize(length);
        for (std::size_t at = 0x900; at < length; ++at) bytes[at] = static_cast<std::uint8_t>(rng());
        for (std::size_t at = 0x2001; at + 4 <= length; at += 4 * 997) {
            test::Put32(bytes, at, static_cast<std::uint32_t>(kInsertion + magic + static_cast<std::int32_t>(rng() % 0x10000)));
        }
        const auto path = dir / "m.map";
        test::WriteBytes(path, bytes);
        HaloPcMap map;
        map.LoadMap(path);

        const std::int32_t scanStart = 0x2001;  // not a multiple of 4
        const std::int32_t growth = 0x5C;
        Bytes expected = bytes;
        std::size_t index = 0;
        for (int i = 0; i < 4; ++i) {
            const std::size_t field = 0x828 + 32 * i + 0x14;
            const auto v = static_cast<std::int32_t>(test::Get32(expected, field));
            if (v >= kInsertion + magic && std::int64_t{v} < std::int64_t(length) + magic) {
                test::Put32(expected, field, static_cast<std::uint32_t>(v + growth));
                ++index;
            }
        }
        const std::size_t words = ModelScan(expected, scanStart, kInsertion, magic, length, growth);
        const FixupReport report = map.UpdateFromPoint(scanStart, kInsertion, growth);
        EXPECT_EQ(report.indexAddressesCorrected, 2u);  // "at" and "behind"; not the scenario, not "before"
        EXPECT_EQ(report.indexAddressesCorrected, index);
        EXPECT_EQ(report.wordsCorrected, words);
        EXPECT_GT(words, 1000u);
        const Bytes after = test::ReadBytes(path);
        ASSERT_EQ(after.size(), length);
        EXPECT_TRUE(after == expected) << "MapMagic " << mapMagic;
    }
}

TEST_F(FileFixup, GrowthZeroChangesNoByteAndAScanStartPastTheEndScansNothing) {
    test::HandMap m = MakeMap(0x40440028);
    Bytes bytes = test::BuildHandMap(m);
    bytes.resize(0x8000, 0);
    for (std::size_t at = 0x2000; at < bytes.size(); at += 4) {
        test::Put32(bytes, at, kInsertion + test::HandMagic(m) + static_cast<std::uint32_t>(at));
    }
    const auto path = dir / "m.map";
    test::WriteBytes(path, bytes);
    HaloPcMap map;
    map.LoadMap(path);
    EXPECT_GT(map.UpdateFromPoint(0x2000, kInsertion, 0).wordsCorrected, 0u);
    EXPECT_EQ(test::ReadBytes(path), bytes);

    const FixupReport report = map.UpdateFromPoint(0x8000, kInsertion, 0x10);
    EXPECT_EQ(report.wordsCorrected, 0u);
    EXPECT_EQ(report.indexAddressesCorrected, 2u);  // the index pass still runs
    const Bytes after = test::ReadBytes(path);
    EXPECT_EQ(test::Get32(after, 0x828 + 32 * 2 + 0x14), test::Get32(bytes, 0x828 + 32 * 2 + 0x14) + 0x10);
    EXPECT_EQ(test::Get32(after, 0x2000), test::Get32(bytes, 0x2000));
    EXPECT_EQ(map.TagCache[2]->Offset, 0x5000);  // tag records keep their load-time offsets
}

}  // namespace
}  // namespace xsc
