// The file-level address fix-up: the index pass over the tag entries' data addresses, then the
// word scan from the scan start to the end of the file, fed to ScanWords in large chunks.
// Only the 4 KB pages of a chunk that held a corrected word are written back, and nothing when the
// growth is 0.

#include <algorithm>
#include <vector>

#include "map/HaloPcMap.h"
#include "map/MapFormat.h"
#include "runtime/BinaryStream.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"

namespace xsc {
namespace {

constexpr std::int64_t kChunkSize = 4 * 1024 * 1024;
constexpr std::size_t kPageSize = 4096;

// The data addresses of the whole index in one read, corrected in memory and written back in one
// write: a seek, read and write per entry would cost a system call each, and every write drops
// the stream's read window.
std::size_t IndexPass(BinaryStream& file, const HaloPcMap& map, const FixupRange& range) {
    if (map.TagCount <= 0) return 0;
    const std::int64_t size = std::int64_t{map.TagCount} * mapformat::kTagEntrySize;
    if (map.tagOffset < 0 || map.tagOffset + size > file.Length()) {
        throw Error::AtOffset("the tag index of " + std::to_string(map.TagCount) +
                                  " entries runs past the end of the file (" + std::to_string(file.Length()) +
                                  " bytes)",
                              map.tagOffset);
    }
    std::vector<std::uint8_t> index(static_cast<std::size_t>(size));
    file.SetPosition(map.tagOffset);
    file.ReadInto(index.data(), index.size());
    std::size_t corrected = 0;
    for (std::size_t entry = 0; entry < index.size(); entry += mapformat::kTagEntrySize) {
        std::uint8_t* field = index.data() + entry + mapformat::kTagDataAddress;
        const auto v = static_cast<std::int32_t>(DecodeFixed32(field));
        if (!range.InRange(v)) continue;
        EncodeFixed32(field, static_cast<std::uint32_t>(range.Corrected(v)));
        ++corrected;
    }
    if (corrected != 0 && range.growth != 0) {
        file.SetPosition(map.tagOffset);
        file.Write(index.data(), index.size());
    }
    return corrected;
}

// Scans one chunk page by page and writes back each run of pages that changed. A growth of 0
// changes no byte, so nothing is written back then.
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
        if (range.growth == 0) continue;
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
