#include "runtime/RollbackJournal.h"

#include <xxhash.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "runtime/BinaryStream.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/FlushBehind.h"
#include "runtime/FileLock.h"
#include "runtime/FileSystem.h"
#include "runtime/NativeFile.h"
#include "runtime/PausePoint.h"
#include "runtime/Utf8Path.h"

namespace xsc {
namespace {

constexpr std::string_view kJournalCode = "XSCJRNL2";
// Journals of earlier versions: the same layout, with the anchor over the bytes [0, K).
constexpr std::string_view kFirstJournalCode = "XSCJRNL1";
constexpr std::int64_t kHeaderSize = 48;
constexpr std::int64_t kRangeEntrySize = 16;
constexpr std::int64_t kTrailerSize = 16;
constexpr std::int64_t kLargestAnchor = 64 * 1024;
constexpr std::size_t kCopyChunk = 4 * 1024 * 1024;

// XXH3-64, fed piece by piece.
class Hash {
public:
    Hash() : state_(XXH3_createState(), XXH3_freeState) {
        if (!state_) throw std::bad_alloc();
        XXH3_64bits_reset(state_.get());
    }
    void Add(const std::uint8_t* data, std::size_t size) { XXH3_64bits_update(state_.get(), data, size); }
    std::uint64_t Value() const { return XXH3_64bits_digest(state_.get()); }

private:
    std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> state_;
};

// The fixed part of a journal, as read back.
struct Header {
    std::int64_t lengthBefore = 0;
    std::int64_t lengthAfter = 0;
    std::int64_t anchorLength = 0;
    std::uint64_t anchorHash = 0;
    std::vector<FileRange> ranges;
    std::int64_t dataAt = 0;  // where the saved bytes start
    std::uint64_t dataHash = 0;
    bool tableComplete = false;  // a journal cut short: its ranges were read whole
    bool prefixAnchor = false;   // a first-version journal: its anchor is all of [0, K)
};

// Reads the bytes of `ranges` from `file` in chunks of at most 4 MB and hands each chunk to
// `use`, with the index of its range and where in that range it starts.
template <typename Use>
void ForEachChunk(BinaryStream& file, const std::vector<FileRange>& ranges, Use use) {
    std::vector<std::uint8_t> buffer;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        for (std::int64_t done = 0; done < ranges[i].length;) {
            buffer.resize(static_cast<std::size_t>(std::min<std::int64_t>(ranges[i].length - done, kCopyChunk)));
            file.SetPosition(ranges[i].offset + done);
            file.ReadInto(buffer.data(), buffer.size());
            use(buffer, i, done);
            done += static_cast<std::int64_t>(buffer.size());
        }
    }
}

std::uint64_t HashOfFile(BinaryStream& file, const std::vector<FileRange>& ranges) {
    Hash hash;
    ForEachChunk(file, ranges, [&](const std::vector<std::uint8_t>& chunk, std::size_t, std::int64_t) {
        hash.Add(chunk.data(), chunk.size());
    });
    return hash.Value();
}

// The bytes the anchor hash covers: [0, K) without the bytes of the ranges, which the change may
// have written (the map header's size fields and compile mark lie among the first bytes).
std::vector<FileRange> AnchorPieces(const Header& h) {
    if (h.prefixAnchor) return {{0, h.anchorLength}};
    std::vector<FileRange> written = h.ranges;
    std::sort(written.begin(), written.end(), [](const FileRange& a, const FileRange& b) { return a.offset < b.offset; });
    std::vector<FileRange> pieces;
    std::int64_t at = 0;
    for (const FileRange& r : written) {
        if (r.offset > at) pieces.push_back({at, std::min(r.offset, h.anchorLength) - at});
        at = std::max(at, r.offset + r.length);
        if (at >= h.anchorLength) break;
    }
    if (at < h.anchorLength) pieces.push_back({at, h.anchorLength - at});
    std::erase_if(pieces, [](const FileRange& p) { return p.length <= 0; });
    return pieces;
}

std::vector<std::uint8_t> EncodeHeader(const Header& h) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(kHeaderSize + kRangeEntrySize * static_cast<std::int64_t>(h.ranges.size())), 0);
    std::copy(kJournalCode.begin(), kJournalCode.end(), bytes.begin());
    EncodeFixed64(bytes.data() + 8, static_cast<std::uint64_t>(h.lengthBefore));
    EncodeFixed64(bytes.data() + 16, static_cast<std::uint64_t>(h.lengthAfter));
    EncodeFixed64(bytes.data() + 24, static_cast<std::uint64_t>(h.anchorLength));
    EncodeFixed64(bytes.data() + 32, h.anchorHash);
    EncodeFixed32(bytes.data() + 40, static_cast<std::uint32_t>(h.ranges.size()));
    std::uint8_t* entry = bytes.data() + kHeaderSize;
    for (const FileRange& r : h.ranges) {
        EncodeFixed64(entry, static_cast<std::uint64_t>(r.offset));
        EncodeFixed64(entry + 8, static_cast<std::uint64_t>(r.length));
        entry += kRangeEntrySize;
    }
    return bytes;
}

// What a journal on disk turned out to be.
enum class JournalState {
    Verified,
    CutShort,  // shorter than its own header says: the crash came while it was written
    Damaged,   // not a journal of ours, or one whose bytes do not verify
};

// Reads and verifies a whole journal.
JournalState ReadJournal(BinaryStream& journal, Header& h) {
    const std::int64_t size = journal.Length();
    std::uint8_t fixed[kHeaderSize] = {};
    journal.SetPosition(0);
    journal.ReadInto(fixed, static_cast<std::size_t>(std::min(size, kHeaderSize)));
    const auto codeBytes = static_cast<std::ptrdiff_t>(std::min<std::int64_t>(size, kJournalCode.size()));
    const auto isCode = [&](std::string_view code) { return std::equal(code.begin(), code.begin() + codeBytes, fixed); };
    if (!isCode(kJournalCode) && !isCode(kFirstJournalCode)) return JournalState::Damaged;
    h.prefixAnchor = !isCode(kJournalCode);
    if (size < kHeaderSize) return JournalState::CutShort;
    h.lengthBefore = static_cast<std::int64_t>(DecodeFixed64(fixed + 8));
    h.lengthAfter = static_cast<std::int64_t>(DecodeFixed64(fixed + 16));
    h.anchorLength = static_cast<std::int64_t>(DecodeFixed64(fixed + 24));
    h.anchorHash = DecodeFixed64(fixed + 32);
    const std::int64_t count = DecodeFixed32(fixed + 40);
    h.dataAt = kHeaderSize + kRangeEntrySize * count;
    if (h.lengthBefore < 0 || h.anchorLength < 0 || h.anchorLength > kLargestAnchor) return JournalState::Damaged;
    if (h.dataAt > size) return JournalState::CutShort;
    std::vector<std::uint8_t> table(static_cast<std::size_t>(h.dataAt - kHeaderSize));
    journal.ReadInto(table.data(), table.size());
    std::int64_t saved = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        const FileRange r{static_cast<std::int64_t>(DecodeFixed64(table.data() + kRangeEntrySize * i)),
                          static_cast<std::int64_t>(DecodeFixed64(table.data() + kRangeEntrySize * i + 8))};
        if (r.offset < 0 || r.length < 0 || r.offset + r.length > h.lengthBefore) return JournalState::Damaged;
        saved += r.length;
        h.ranges.push_back(r);
    }
    if (h.dataAt + saved + kTrailerSize > size) {
        h.tableComplete = true;
        return JournalState::CutShort;
    }
    if (h.dataAt + saved + kTrailerSize < size) return JournalState::Damaged;
    // The journal's own hash, over everything before its last 8 bytes.
    Hash whole;
    whole.Add(fixed, sizeof fixed);
    whole.Add(table.data(), table.size());
    std::vector<std::uint8_t> buffer;
    for (std::int64_t at = h.dataAt; at < size - 8;) {
        buffer.resize(static_cast<std::size_t>(std::min<std::int64_t>(size - 8 - at, kCopyChunk)));
        journal.ReadInto(buffer.data(), buffer.size());
        whole.Add(buffer.data(), buffer.size());
        at += static_cast<std::int64_t>(buffer.size());
    }
    std::uint8_t last[8];
    journal.ReadInto(last, 8);
    if (DecodeFixed64(last) != whole.Value()) return JournalState::Damaged;
    journal.SetPosition(size - kTrailerSize);
    journal.ReadInto(last, 8);
    h.dataHash = DecodeFixed64(last);
    return JournalState::Verified;
}

// Writes the saved bytes back over the file and gives it its old length, then flushes it. The
// saved bytes stand in the journal one range after another from dataAt on.
void Restore(BinaryStream& journal, const Header& h, BinaryStream& file) {
    std::int64_t savedAt = h.dataAt;
    std::vector<FileRange> saved;
    for (const FileRange& r : h.ranges) {
        saved.push_back({savedAt, r.length});
        savedAt += r.length;
    }
    ForEachChunk(journal, saved, [&](const std::vector<std::uint8_t>& chunk, std::size_t range, std::int64_t at) {
        file.SetPosition(h.ranges[range].offset + at);
        file.Write(chunk.data(), chunk.size());
    });
    file.SetLength(h.lengthBefore);
    file.Flush();
}

// A journal cut short is written in full before its change starts, so the file must still be as
// it was: its old length, its anchor, and the bytes the journal did save (the first range a
// compile saves is its compile mark's, so a marked map differs at once). Any difference means the
// file was changed all the same, and the journal cannot undo it.
bool DiffersFromCutShort(BinaryStream& journal, const Header& h, BinaryStream& file) {
    if (!h.tableComplete) return false;  // it saved no byte yet
    if (file.Length() != h.lengthBefore || file.Length() < h.anchorLength ||
        HashOfFile(file, AnchorPieces(h)) != h.anchorHash) {
        return true;
    }
    std::vector<FileRange> inJournal;
    std::vector<FileRange> inFile;
    std::int64_t at = h.dataAt;
    const std::int64_t end = journal.Length();
    for (const FileRange& r : h.ranges) {
        const std::int64_t n = std::min(r.length, end - at);
        if (n <= 0) break;
        inJournal.push_back({at, n});
        inFile.push_back({r.offset, n});
        at += n;
    }
    std::vector<std::uint8_t> mapBytes;
    bool differs = false;
    ForEachChunk(journal, inJournal, [&](const std::vector<std::uint8_t>& chunk, std::size_t range, std::int64_t from) {
        if (differs) return;
        mapBytes.resize(chunk.size());
        file.SetPosition(inFile[range].offset + from);
        file.ReadInto(mapBytes.data(), mapBytes.size());
        differs = mapBytes != chunk;
    });
    return differs;
}

}  // namespace

std::filesystem::path RollbackJournal::PathFor(const std::filesystem::path& file) {
    // The journal belongs to the file, not to the name it was reached by: a compile through a
    // symbolic link and a later opening by the real name must find the same journal.
    std::error_code ec;
    std::filesystem::path journal = std::filesystem::weakly_canonical(file, ec);
    if (ec) journal = file;
    journal += ".xsc-journal";
    return journal;
}

RollbackJournal RollbackJournal::Begin(BinaryStream& file, const std::filesystem::path& path,
                                       const std::vector<FileRange>& ranges, std::int64_t lengthAfter) {
    Header h;
    h.lengthBefore = file.Length();
    h.lengthAfter = lengthAfter;
    h.anchorLength = std::min(kLargestAnchor, h.lengthBefore);
    h.ranges = ranges;
    h.anchorHash = HashOfFile(file, AnchorPieces(h));

    RollbackJournal journal(PathFor(path));
    BinaryStream out = BinaryStream::CreateNew(journal.path_);
    try {
        // Readable by the map's owner alone, also when someone else (root) compiles it.
        out.File().TakeOwnerOf(file.File());
        const std::vector<std::uint8_t> header = EncodeHeader(h);
        Hash whole;
        Hash data;
        out.SetPosition(0);
        out.Write(header.data(), header.size());
        whole.Add(header.data(), header.size());
        // A journal holds the whole moved tail of a map, hundreds of megabytes: it goes to the
        // disk as it is written, not all at the closing flush.
        FlushBehind flushing(out.File());
        ForEachChunk(file, ranges, [&](const std::vector<std::uint8_t>& chunk, std::size_t, std::int64_t) {
            out.Write(chunk.data(), chunk.size());
            flushing.Written(static_cast<std::int64_t>(chunk.size()));
            whole.Add(chunk.data(), chunk.size());
            data.Add(chunk.data(), chunk.size());
        });
        std::uint8_t trailer[kTrailerSize];
        EncodeFixed64(trailer, data.Value());
        whole.Add(trailer, 8);
        EncodeFixed64(trailer + 8, whole.Value());
        out.Write(trailer, sizeof trailer);
        flushing.Finish();
        out.Flush();
        out.Close();
        SyncFolderOf(journal.path_);
    } catch (const Error&) {
        // The file is untouched: a journal that could not be finished is of no use.
        out.Close();
        RemoveName(journal.path_);
        throw;
    }
    PausePoint(pause::kJournalWritten);
    return journal;
}

void RollbackJournal::Commit() { RemoveDurably(path_); }

void RollbackJournal::RollBack(BinaryStream& file) {
    BinaryStream journal = BinaryStream::OpenAsBinaryFile(path_, BinaryStream::Mode::ReadOnly);
    Header h;
    if (ReadJournal(journal, h) != JournalState::Verified) {
        throw Error("the journal " + Utf8(path_) + " does not verify; the map was not restored");
    }
    Restore(journal, h, file);
    journal.Close();
    RemoveDurably(path_);
}

bool JournalBeside(const std::filesystem::path& file) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(RollbackJournal::PathFor(file), ec));
}

Recovery RecoverFile(const std::filesystem::path& file) {
    if (!JournalBeside(file)) return {};
    const FileLock lock = FileLock::Take(file, FileLock::Kind::Exclusive);
    return RecoverFile(file, lock);
}

Recovery RecoverFile(const std::filesystem::path& file, const FileLock&) {
    const std::filesystem::path path = RollbackJournal::PathFor(file);
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(path, ec);
    if (ec || !std::filesystem::exists(status)) return {};
    const std::string name = Utf8(path.filename());
    if (!std::filesystem::is_regular_file(status)) {
        return {Recovery::Outcome::Foreign, name + " is not a journal xsc wrote (not a regular file); it was left alone"};
    }

    BinaryStream journal = BinaryStream::OpenAsBinaryFile(path, BinaryStream::Mode::ReadOnly);
    Header h;
    switch (ReadJournal(journal, h)) {
        case JournalState::Verified: break;
        case JournalState::CutShort: {
            // A crash while it was written: the change, which starts only once the journal is
            // complete on disk, had not started, unless the map says otherwise.
            BinaryStream target = BinaryStream::OpenAsBinaryFile(file, BinaryStream::Mode::ReadOnly);
            if (DiffersFromCutShort(journal, h, target)) {
                throw Error::InMap("an unfinished compile journal (" + Utf8(path) +
                                   ") was found, and the map differs from the bytes it saved: the map was changed, "
                                   "and the journal cannot undo that. It was kept; restore the map from a copy, then "
                                   "remove the journal");
            }
            journal.Close();
            RemoveDurably(path);
            return {Recovery::Outcome::Discarded,
                    "an unfinished compile journal (" + name + ") was removed; the map had not been changed"};
        }
        case JournalState::Damaged:
            return {Recovery::Outcome::Foreign,
                    name + " is damaged or was not written by xsc; it was left alone and the map was not changed. If a "
                           "compile of this map was interrupted, restore the map from a copy, then remove " + name};
    }
    BinaryStream target = BinaryStream::OpenAsBinaryFile(file, BinaryStream::Mode::ReadWrite);
    const std::int64_t length = target.Length();
    const bool lengthFits = length >= std::min(h.lengthBefore, h.lengthAfter) && length <= std::max(h.lengthBefore, h.lengthAfter);
    if (!lengthFits || length < h.anchorLength || HashOfFile(target, AnchorPieces(h)) != h.anchorHash) {
        return {Recovery::Outcome::Foreign, name + " does not belong to this map; it was left alone and the map was not changed"};
    }
    if (length == h.lengthBefore && HashOfFile(target, h.ranges) == h.dataHash) {
        journal.Close();
        RemoveDurably(path);
        return {Recovery::Outcome::Discarded,
                "a compile was interrupted before it changed the map; its journal (" + name + ") was removed"};
    }
    Restore(journal, h, target);
    journal.Close();
    RemoveDurably(path);
    return {Recovery::Outcome::RolledBack,
            "a compile of this map was interrupted (a crash or a kill); it has been undone and the map is as it was before"};
}

}  // namespace xsc
