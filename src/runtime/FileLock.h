#pragma once
// A lock on a map file for as long as the object lives: exclusive while a compile or a rollback
// changes the map, shared while a compile with an output file reads it. A second writer is refused
// at once, before it reads anything. Other programs are not kept out (the lock is advisory on
// POSIX systems, and on Windows it stands beyond the file's end).

#include <filesystem>

#include "runtime/NativeFile.h"

namespace xsc {

class FileLock {
public:
    enum class Kind { Shared, Exclusive };

    // Takes the lock without waiting; throws Error "<name> is being compiled by another process"
    // when another process holds a lock that excludes this one. A file that is not a regular
    // file gets no lock (it is refused when opened as a map).
    static FileLock Take(const std::filesystem::path& file, Kind kind);

    FileLock(FileLock&& other) noexcept = default;
    FileLock& operator=(FileLock&&) = delete;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock() = default;  // closing the file releases the lock

    // Locks a file already open, for as long as it stays open, with the same refusals as Take;
    // `name` is the file's name for the message.
    static void Lock(NativeFile& file, Kind kind, const std::filesystem::path& name);

private:
    explicit FileLock(NativeFile file) : file_(std::move(file)) {}
    NativeFile file_;
};

}  // namespace xsc
