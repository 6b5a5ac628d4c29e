#pragma once
// An advisory lock on a map file (flock) for as long as the object lives: exclusive while a
// compile or a rollback changes the map, shared while a compile with an output file reads it. A
// second writer is refused at once, before it reads anything.

#include <filesystem>

namespace xsc {

class FileLock {
public:
    enum class Kind { Shared, Exclusive };

    // Takes the lock without waiting; throws Error "<name> is being compiled by another process"
    // when another process holds a lock that excludes this one. A file that is not a regular
    // file gets no lock (it is refused when opened as a map).
    static FileLock Take(const std::filesystem::path& file, Kind kind);

    FileLock(FileLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileLock& operator=(FileLock&&) = delete;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

private:
    explicit FileLock(int fd) : fd_(fd) {}
    int fd_;
};

}  // namespace xsc
