#pragma once
// The move at the heart of a compile: the bytes of the moved file from the string data on are
// the new region (strings, zero bytes, padding, records) followed by the old tail, the bytes that
// stood behind the old region. They are written in fixed-size chunks through one reused buffer,
// each chunk corrected by the address fix-up before it is written, so memory does not grow with
// the map.
//
//   old file:  ... | old region (Lold) | tail ..................... |
//                  ST                  P                           oldLength
//   new file:  ... | new region (Lnew)     | tail ..................... |
//                  ST                      P + G                       oldLength + G
//
// Chunks are cut at the fix-up's anchor (the scan's start) plus multiples of the chunk size, each
// cut moved back by up to 3 bytes where it would split a word the fix-up corrects; the fix-up is
// asked to reach each cut (MovedWordFixup::Reach) before it is made. In place, a file that grows
// is written from its end backwards and a file that shrinks from the front forwards, so that no
// byte is overwritten before it is read. A caller may have the chunks flushed to the disk behind
// the move (runtime/FlushBehind.h), so that its closing flush finds little left to do.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "map/UpdateFromPoint.h"

namespace xsc {

class BinaryStream;
class FlushBehind;

struct TailMove {
    std::int64_t regionStart = 0;        // ST: where the new region starts, in both files
    std::span<const std::uint8_t> region;  // the new region's bytes
    std::int64_t oldTailStart = 0;       // P: where the tail starts in the old file
    std::int64_t oldLength = 0;          // the old file's length
    std::int64_t Growth() const;         // G = ST + Lnew - P
    std::int64_t NewLength() const { return oldLength + Growth(); }
};

// A few megabytes: large enough that system calls cost nothing, small enough to stay in cache.
constexpr std::size_t kMoveChunkSize = 4 * 1024 * 1024;

// Writes the moved bytes into `target`, reading the tail from `source`; `source` and `target`
// may be the same file (a compile in place). The target must already have room for the new
// length; a file that shrinks is cut by the caller afterwards. Returns the words the fix-up
// corrected (listed in `corrected` when given). `flushing`, when given, is told of every chunk
// written. `chunkSize` must be a positive multiple of 4.
std::size_t MoveTail(BinaryStream& source, BinaryStream& target, bool inPlace, const TailMove& move,
                     MovedWordFixup& fixup, std::vector<CorrectedWord>* corrected, FlushBehind* flushing = nullptr,
                     std::size_t chunkSize = kMoveChunkSize);

}  // namespace xsc
