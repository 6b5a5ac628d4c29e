// The file-level address fix-up: the index pass over the tag entries' data addresses, then the
// word scan from the scan start to the end of the file, fed to ScanWords in large chunks.
// Only the 4 KB pages of a chunk that held a corrected word are written back.

#include <algorithm>
#include <vector>

#include "map/HaloPcMap.h"
#include "map/MapFormat.h"
#include "runtime/BinaryStream.h"
#include "runtime/Error.h"

namespace xsc {
namespace {

constexpr std::int64_t kChunkSize = 4 * 1024 * 1024;
constexpr std::size_t kPageSize = 4096;

std::size_t IndexPass(BinaryStream& file, const HaloPcMap& map, const FixupRange& range) {
    std::size_t corrected = 0;
    for (std::int32_t i = 0; i < map.TagCount; ++i) {
        const std::int64_t field =
            std::int64_t{map.tagOffset} + mapformat::kTagEntrySize * i + mapformat::kTagDataAddress;
        file.SetPosition(field);
        const std::int32_t v = file.ReadInt32();
        if (!range.InRange(v)) continue;
        file.SetPosition(field);
        file.WriteInt32(range.Corrected(v));
        ++corrected;
    }
    return corrected;
}

// Scans one chunk page by page and writes back each run of pages that changed.
std::size_t ScanChunk(BinaryStream& file, std::vector<std::uint8_t>& chunk, std::int64_t chunkOffset,
                      const FixupRange& range, std::vector<CorrectedWord>* corrected) {
    std::size_t total = 0;
    std::size_t runStart = 0;
    bool inRun = false;
    auto flushRun = [&](std::size_t end) {
        if (!inRun) return;
        file.SetPosition(chunkOffset + static_cast<std::int64_t>(runStart));
        file.Write(chunk.data() + runStart, end - runStart);
        inRun = false;
    };
    for (std::size_t page = 0; page < chunk.size(); page += kPageSize) {
        const std::size_t size = std::min(kPageSize, chunk.size() - page);
        const std::size_t n = ScanWords(chunk.data() + page, size, range,
                                        chunkOffset + static_cast<std::int64_t>(page), corrected);
        total += n;
        if (n != 0 && !inRun) {
            runStart = page;
            inRun = true;
        } else if (n == 0) {
            flushRun(page);
        }
    }
    flushRun(chunk.size());
    return total;
}

}  // namespace

FixupReport HaloPcMap::UpdateFromPoint(std::int32_t scanStart, std::int32_t insertionPoint, std::int32_t growth,
                                       std::vector<CorrectedWord>* corrected) {
    if (!f) throw Error("no map is loaded");
    if (scanStart < 0) throw Error::AtOffset("the fix-up cannot start before the start of the file", scanStart);
    BinaryStream file = BinaryStream::OpenAsBinaryFile(*f, BinaryStream::Mode::ReadWrite);
    const std::int64_t length = file.Length();
    const FixupRange range = FixupRange::For(insertionPoint, Magic, length, growth);

    FixupReport report;
    report.indexAddressesCorrected = IndexPass(file, *this, range);

    std::vector<std::uint8_t> chunk;
    for (std::int64_t position = scanStart; length - position >= 4;) {
        const std::int64_t wholeWords = (length - position) / 4 * 4;
        chunk.resize(static_cast<std::size_t>(std::min(kChunkSize, wholeWords)));
        file.SetPosition(position);
        file.ReadInto(chunk.data(), chunk.size());
        report.wordsCorrected += ScanChunk(file, chunk, position, range, corrected);
        position += static_cast<std::int64_t>(chunk.size());
    }
    file.Close();
    return report;
}

}  // namespace xsc
