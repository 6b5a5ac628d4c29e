#pragma once
// A map opened for one command, once: a compile of it that a crash interrupted is undone first
// (the journal beside it), then the file is opened and locked on that one handle until the command
// ends. Every read and write of the command goes through Stream(), so nothing can change the map
// between the checks a compile makes and the writes that rely on them, and the map is opened once,
// not once per step.
//
// Write: the exclusive lock, a stream that reads and writes (a compile in place).
// Read: the shared lock (a compile into an output file, info, decompile, check): other readers
//       may come in, a compile in place may not. The recovery, when a journal is found, runs
//       under the exclusive lock first.

#include <filesystem>
#include <optional>

#include "runtime/BinaryStream.h"
#include "runtime/FileLock.h"
#include "runtime/RollbackJournal.h"

namespace xsc {

class MapFile {
public:
    enum class Access { Read, Write };

    // Throws Error when the map is being compiled by another process or cannot be opened, and
    // when a journal beside it cannot be acted on safely (RecoverFile).
    static MapFile Open(const std::filesystem::path& path, Access access);

    MapFile(MapFile&&) noexcept = default;
    MapFile& operator=(MapFile&&) = delete;

    BinaryStream& Stream() { return stream_; }
    const std::filesystem::path& Path() const { return path_; }
    Access GetAccess() const { return access_; }
    // What opening found of an interrupted compile (Outcome::None: nothing).
    const Recovery& Found() const { return found_; }

private:
    MapFile(std::filesystem::path path, Access access, BinaryStream stream, Recovery found)
        : path_(std::move(path)), access_(access), stream_(std::move(stream)), found_(std::move(found)) {}

    std::filesystem::path path_;
    Access access_;
    BinaryStream stream_;  // holds the lock on its handle
    Recovery found_;
};

}  // namespace xsc
