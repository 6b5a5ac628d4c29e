#include "scriptdata/MoveTail.h"

#include <algorithm>
#include <cstring>

#include "runtime/BinaryStream.h"
#include "runtime/Error.h"
#include "runtime/FlushBehind.h"
#include "runtime/PausePoint.h"

namespace xsc {
namespace {

struct Chunk {
    std::int64_t start;  // file offsets in the moved file
    std::int64_t end;
};

// The chunk of [start, to) that starts at `start`: it ends at the next cut behind it, a cut lying at
// `anchor` + k * size for a whole k, moved back by the fix-up so that no chunk ends inside a word
// it corrects (by at most 3 bytes). The fix-up is first asked to reach the cut.
Chunk NextChunk(std::int64_t start, std::int64_t to, MovedWordFixup& fixup, std::int64_t size) {
    const std::int64_t anchor = fixup.ChunkAnchor();
    // The last cut at or before `start` (floor division, as `anchor` may lie on either side).
    const std::int64_t delta = start - anchor;
    std::int64_t cut = anchor + (delta >= 0 ? delta / size : -((-delta + size - 1) / size)) * size;
    for (cut += size;; cut += size) {
        fixup.Reach(std::min(cut, to));
        if (cut >= to) return {start, to};
        const std::int64_t end = fixup.SafeCut(cut);
        if (end > start) return {start, end};
    }
}

// Every chunk of [from, to), front to back.
std::vector<Chunk> CutChunks(std::int64_t from, std::int64_t to, MovedWordFixup& fixup, std::int64_t size) {
    std::vector<Chunk> chunks;
    for (std::int64_t start = from; start < to; start = chunks.back().end) chunks.push_back(NextChunk(start, to, fixup, size));
    return chunks;
}

// Fills `buffer` with the moved file's bytes [chunk.start, chunk.end): new region bytes from
// memory, tail bytes from the old file, `growth` bytes further towards its start.
void Assemble(BinaryStream& source, const TailMove& move, const Chunk& chunk, std::uint8_t* buffer) {
    const std::int64_t regionEnd = move.regionStart + static_cast<std::int64_t>(move.region.size());
    std::int64_t at = chunk.start;
    if (at < regionEnd) {
        const std::int64_t n = std::min(chunk.end, regionEnd) - at;
        std::memcpy(buffer, move.region.data() + (at - move.regionStart), static_cast<std::size_t>(n));
        at += n;
    }
    if (at < chunk.end) {
        source.SetPosition(at - move.Growth());
        source.ReadInto(buffer + (at - chunk.start), static_cast<std::size_t>(chunk.end - at));
    }
}

}  // namespace

std::int64_t TailMove::Growth() const {
    return regionStart + static_cast<std::int64_t>(region.size()) - oldTailStart;
}

std::size_t MoveTail(BinaryStream& source, BinaryStream& target, bool inPlace, const TailMove& move,
                     MovedWordFixup& fixup, std::vector<CorrectedWord>* corrected, FlushBehind* flushing,
                     std::size_t chunkSize) {
    if (chunkSize == 0 || chunkSize % 4 != 0) throw Error("internal error: the move's chunk size must be a multiple of 4");
    const std::int64_t growth = move.Growth();
    const std::int64_t regionEnd = move.regionStart + static_cast<std::int64_t>(move.region.size());
    const std::int64_t size = static_cast<std::int64_t>(chunkSize);
    // In place, a growing file is written backwards: each chunk's bytes are read before any chunk
    // that would overwrite them is written; its chunks are all cut first. Front to back, each chunk
    // is cut when the move gets there, so that the fix-up is asked to reach it only then.
    const bool backwards = inPlace && growth > 0;
    std::vector<Chunk> chunks;
    if (backwards) {
        chunks = CutChunks(move.regionStart, move.NewLength(), fixup, size);
        std::reverse(chunks.begin(), chunks.end());
    }

    // A chunk is at most 3 bytes longer than the chunk size, when the cut before it moved back.
    std::vector<std::uint8_t> buffer(std::min<std::size_t>(
        chunkSize + 3, static_cast<std::size_t>(std::max<std::int64_t>(move.NewLength() - move.regionStart, 0))));
    const std::size_t listedBefore = corrected ? corrected->size() : 0;
    std::size_t count = 0;
    std::size_t next = 0;  // backwards: in `chunks`
    for (std::int64_t start = move.regionStart;;) {
        Chunk chunk{};
        if (backwards) {
            if (next == chunks.size()) break;
            chunk = chunks[next++];
        } else {
            if (start >= move.NewLength()) break;
            chunk = NextChunk(start, move.NewLength(), fixup, size);
            start = chunk.end;
        }
        const auto bytes = static_cast<std::size_t>(chunk.end - chunk.start);
        Assemble(source, move, chunk, buffer.data());
        count += fixup.Correct(buffer.data(), bytes, chunk.start, corrected);
        // A tail that stays where it is and needs no correction is not rewritten.
        if (inPlace && growth == 0 && chunk.start >= regionEnd) continue;
        target.SetPosition(chunk.start);
        target.Write(buffer.data(), bytes);
        if (flushing) flushing->Written(static_cast<std::int64_t>(bytes));
        PausePoint(pause::kChunkMoved);
    }
    if (corrected) {
        // Chunks written backwards listed their words backwards: the listing goes in file order.
        std::sort(corrected->begin() + static_cast<std::ptrdiff_t>(listedBefore), corrected->end(),
                  [](const CorrectedWord& a, const CorrectedWord& b) { return a.fileOffset < b.fileOffset; });
    }
    return count;
}

}  // namespace xsc
