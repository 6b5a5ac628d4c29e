// The streamed move of the region and the tail, in place and into another file, in chunks, against
// the moved file built and scanned in one piece: tails shorter than, equal to and a few bytes longer
// than a chunk, scan starts off the chunk grid, a partial last word, growth positive, zero and
// negative. The scan's range is tested in tests/map/UpdateFromPoint_test.cpp.

#include <gtest/gtest.h>

#include <random>

#include "map/HaloPcMap.h"
#include "map/WalkedFixup.h"
#include "mapgen/MapGenerator.h"
#include "runtime/BinaryStream.h"
#include "scriptdata/MoveTail.h"
#include "support/TestFiles.h"

namespace xsc {
namespace {

using test::Bytes;

constexpr std::int32_t kMagic = 0x40000000;
constexpr std::int64_t kRegionStart = 100;
constexpr std::size_t kChunk = 64;

struct MoveCase {
    std::int64_t oldRegion;  // bytes the new region replaces
    std::int64_t newRegion;
    std::int64_t tail;       // bytes behind the old region
    std::int64_t scanFrom;   // tag 1's data, counted from the old tail's start
};

// Random bytes with many words that point into the tail, at every alignment.
Bytes OldFile(const MoveCase& c, std::mt19937& rng) {
    Bytes b(static_cast<std::size_t>(kRegionStart + c.oldRegion + c.tail));
    for (auto& byte : b) byte = static_cast<std::uint8_t>(rng());
    for (std::size_t at = 0; at + 4 <= b.size(); at += 1 + rng() % 6) {
        test::Put32(b, at, static_cast<std::uint32_t>(kMagic + kRegionStart + c.oldRegion + rng() % (c.tail + 8)));
    }
    return b;
}

TEST(MoveTail, InPlaceAndCopyMatchTheMoveInOnePiece) {
    const MoveCase cases[] = {
        {1024, 1100, 40, 0},             // tail shorter than a chunk
        {1024, 1100, kChunk, 3},         // tail of one chunk, scan start off the grid
        {1024, 1100, kChunk + 3, 2},     // a few bytes more: a partial last word
        {1024, 1032, 10 * kChunk + 1, 0},
        {1024, 1024 + 3 * kChunk + 5, 7 * kChunk, 1},  // growth larger than a chunk
        {1500, 1100, 9 * kChunk + 2, 6},  // negative growth (a recompile of a smaller script)
        {1500, 1100, 30, 6},
        {1100, 1100, 5 * kChunk, 1},      // no growth: only the region changes
    };
    std::mt19937 rng(9);
    test::TempDir dir;
    for (const MoveCase& c : cases) {
        for (bool inPlace : {true, false}) {
            const Bytes old = OldFile(c, rng);
            Bytes region(static_cast<std::size_t>(c.newRegion));
            for (auto& byte : region) byte = static_cast<std::uint8_t>(rng());
            const TailMove move{kRegionStart, region, kRegionStart + c.oldRegion, static_cast<std::int64_t>(old.size())};
            AddressFixup fixup(kMagic, static_cast<std::int32_t>(move.oldTailStart + c.scanFrom),
                                     static_cast<std::int32_t>(move.oldTailStart), static_cast<std::int32_t>(move.Growth()),
                                     move.oldLength);
            test::WriteBytes(dir / "old.map", old);
            test::WriteBytes(dir / "new.map", {});
            {
                BinaryStream source = BinaryStream::OpenAsBinaryFile(dir / "old.map", BinaryStream::Mode::ReadWrite);
                BinaryStream target = BinaryStream::OpenAsBinaryFile(dir / (inPlace ? "old.map" : "new.map"),
                                                                     BinaryStream::Mode::ReadWrite);
                target.Reserve(move.NewLength());
                if (!inPlace) target.CopyFrom(source, 0, kRegionStart);
                MoveTail(source, inPlace ? source : target, inPlace, move, fixup, nullptr, nullptr, kChunk);
                if (inPlace) source.SetLength(move.NewLength());
            }
            // The moved file in one piece, scanned in one piece.
            Bytes expected(old.begin(), old.begin() + kRegionStart);
            expected.insert(expected.end(), region.begin(), region.end());
            expected.insert(expected.end(), old.begin() + kRegionStart + c.oldRegion, old.end());
            fixup.ScanWords(expected.data(), expected.size(), 0);
            EXPECT_EQ(test::ReadBytes(dir / (inPlace ? "old.map" : "new.map")), expected)
                << "old region " << c.oldRegion << ", new " << c.newRegion << ", tail " << c.tail
                << (inPlace ? ", in place" : ", copy");
        }
    }
}

// The walk's fix-up, consumed chunk by chunk: small chunks (many cuts, on and off the words'
// grid, inside listed words and a fallen-back tag's scan), in place (backwards for growth, forwards
// for shrink) and into another file, with the tags walked before the move or as it reaches them,
// give the bytes of one chunk.
TEST(MoveTail, TheWalksCorrectionsDoNotDependOnTheChunks) {
    mapgen::MapOptions options;
    options.headSize = 4096;
    options.tagCount = 5;
    options.slotCapacity = 50;
    options.structured = true;
    options.tagDataSize = 4 * 9000;
    options.scenarioTailSize = 1024;
    mapgen::MapLayout layout;
    Bytes old = mapgen::GenerateMap(options, &layout);
    std::copy_n("zzzz", 4, old.begin() + layout.tagOffset + 2 * 32);  // tag 2 falls back to the scan
    test::TempDir dir;
    for (const std::int64_t newRegion : {1024 + 300, 1024 - 200}) {
        Bytes whole;
        // Chunks cut 2 bytes off the words' grid: each cut must step back to the word it would split.
        for (const auto& [chunk, offGrid] : {std::pair{std::size_t{1} << 20, 0}, {8, 0}, {12, 2}, {4, 2}, {1 << 20, 2}}) {
            for (const auto& [inPlace, when] : {std::pair{true, WalkedFixup::Walk::Now}, {false, WalkedFixup::Walk::Now},
                                                {false, WalkedFixup::Walk::AsMoved}}) {
                test::WriteBytes(dir / "old.map", old);
                test::WriteBytes(dir / "new.map", {});
                HaloPcMap map;
                map.LoadMap(dir / "old.map");
                const Bytes region(static_cast<std::size_t>(newRegion), 0x5A);
                const TailMove move{layout.stringDataOffset, region, layout.stringDataEnd, static_cast<std::int64_t>(old.size())};
                const AddressFixup range = map.UpdateFromPoint(layout.scanStart + offGrid, layout.stringDataEnd,
                                                               static_cast<std::int32_t>(move.Growth()));
                {
                    BinaryStream source = BinaryStream::OpenAsBinaryFile(dir / "old.map", BinaryStream::Mode::ReadWrite);
                    // The scenario's script fields are the compile's own.
                    const std::vector<WalkOptions::Range> owned{{layout.scenarioOffset + 0x474, layout.scenarioOffset + 0x4B4}};
                    WalkedFixup walked(source, map, range, {move.regionStart, move.oldTailStart, move.oldLength, owned}, false,
                                       when);
                    BinaryStream target = BinaryStream::OpenAsBinaryFile(dir / (inPlace ? "old.map" : "new.map"),
                                                                         BinaryStream::Mode::ReadWrite);
                    target.Reserve(move.NewLength());
                    if (!inPlace) target.CopyFrom(source, 0, move.regionStart);
                    MoveTail(source, inPlace ? source : target, inPlace, move, walked, nullptr, nullptr, chunk);
                    if (inPlace) source.SetLength(move.NewLength());
                    walked.Finish();
                    ASSERT_EQ(walked.Fallbacks().size(), 1u);
                }
                const Bytes moved = test::ReadBytes(dir / (inPlace ? "old.map" : "new.map"));
                if (whole.empty()) whole = moved;
                EXPECT_EQ(moved, whole) << "chunks of " << chunk << (inPlace ? ", in place" : ", copy")
                                        << (when == WalkedFixup::Walk::AsMoved ? " walked as moved" : "") << ", region " << newRegion;
            }
        }
        EXPECT_NE(Bytes(whole.begin() + layout.stringDataOffset + newRegion, whole.end()),
                  Bytes(old.begin() + layout.stringDataEnd, old.end()));  // something was corrected
    }
}

}  // namespace
}  // namespace xsc
