#pragma once
// A rollback journal: before a change to a file in place, every byte the change will overwrite or
// cut off is saved to a journal beside the file ("level.map" -> "level.map.xsc-journal"), which
// is flushed to disk with its folder before the first write. The change then runs; once the file
// is flushed, deleting the journal commits it. After a crash the journal is still there, and
// RecoverFile puts the saved bytes and the old length back: whatever happens, the file is the
// old one or the new one. Layout (all integers little-endian):
//
//   0   8  "XSCJRNL2"
//   8   8  file length before the change
//  16   8  file length after the change
//  24   8  K: the file's first bytes, at most 64 KB
//  32   8  XXH3-64 of the file's bytes [0, K) that lie in none of the ranges below (which the
//          change may have written): which file the journal belongs to. A journal "XSCJRNL1",
//          of an earlier version, is read the same way with K the first byte the change
//          writes and the hash over all of [0, K).
//  40   4  range count n,   44  4  0
//  48 16n  the ranges: file offset (8), length (8)
//   ...    the saved bytes of each range, in order
//  end-16  8  XXH3-64 of the saved bytes
//  end-8   8  XXH3-64 of every byte of the journal before it: a journal cut short by a crash
//             does not verify, and one that does not verify is never applied

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace xsc {

class BinaryStream;
class FileLock;

struct FileRange {
    std::int64_t offset = 0;
    std::int64_t length = 0;
};

class RollbackJournal {
public:
    // Beside the file itself: symbolic links in `file` are resolved first, so that every name
    // that leads to the file through links finds the same journal.
    static std::filesystem::path PathFor(const std::filesystem::path& file);

    // Saves `ranges` of `file` (open read-write, at `path`) and flushes the journal and its folder.
    // A journal created as a new file only, readable by the file's owner alone.
    static RollbackJournal Begin(BinaryStream& file, const std::filesystem::path& path, const std::vector<FileRange>& ranges,
                                 std::int64_t lengthAfter);

    // The change is on disk (the caller flushed the file): removes the journal.
    void Commit();
    // The change failed part-way with an error: puts the saved bytes back now and removes the
    // journal. When that fails too, the journal stays for the next RecoverFile.
    void RollBack(BinaryStream& file);

private:
    explicit RollbackJournal(std::filesystem::path path) : path_(std::move(path)) {}
    std::filesystem::path path_;
};

// What RecoverFile found.
struct Recovery {
    enum class Outcome {
        None,        // no journal
        RolledBack,  // a change was interrupted after it touched the file; the file is as before it
        Discarded,   // a journal of a change that never touched the file (or never finished
                     // writing its journal) was removed; the file was not changed
        Foreign,     // a journal that does not belong to this file, or not a journal: left alone
    };
    Outcome outcome = Outcome::None;
    std::string message;  // plain words for the user, empty for None
};

// Looks for a journal beside `file` and acts on it, holding the file's exclusive lock meanwhile
// (another process changing the file now makes this throw Error). A journal cut short beside a
// file that differs from the bytes it saved is kept, and this throws Error: the file was changed
// and nothing can undo it.
Recovery RecoverFile(const std::filesystem::path& file);
// The same, for a caller that already holds the file's exclusive lock.
Recovery RecoverFile(const std::filesystem::path& file, const FileLock& exclusive);
// Whether anything stands at the name of the file's journal.
bool JournalBeside(const std::filesystem::path& file);

}  // namespace xsc
