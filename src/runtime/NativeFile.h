#pragma once
// The few calls to the operating system that the file layer needs, behind one interface with an
// implementation per system (NativeFilePosix.cpp, NativeFileWindows.cpp). Everything above them
// (the byte stream, the lock, the temporary file, the journal) is the same on every system.
//
// The primitives report failure by their result and leave the system's reason for SystemReason(),
// which must be asked at once, before any other call can replace it; the callers know what was
// being done and where, and build the Error.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace xsc {

// The system's words for the last failed call ("No such file or directory").
std::string SystemReason();

class NativeFile {
public:
#ifdef _WIN32
    using Handle = void*;  // a HANDLE
#else
    using Handle = int;  // a descriptor
#endif
    enum class Access { Read, ReadWrite };
    enum class LockKind { Shared, Exclusive };
    enum class LockResult { Taken, Busy, Failed };
    // What CopyRangeFrom returns when the system cannot copy between these files itself.
    static constexpr std::int64_t kCopyUnsupported = -2;

    NativeFile() = default;
    NativeFile(NativeFile&& other) noexcept : handle_(other.handle_) { other.handle_ = kNone; }
    NativeFile& operator=(NativeFile&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = other.handle_;
            other.handle_ = kNone;
        }
        return *this;
    }
    NativeFile(const NativeFile&) = delete;
    NativeFile& operator=(const NativeFile&) = delete;
    ~NativeFile() { Close(); }

    // Opens an existing file. Others may go on reading, writing, renaming and removing it (on
    // Windows they are let in explicitly). Opening never waits: a named pipe without a writer
    // opens, and is then refused for not being a regular file. A folder opens as well, for the
    // same refusal. Not open (IsOpen() false) on failure.
    static NativeFile Open(const std::filesystem::path& path, Access access);
    // Creates a new file for reading and writing, readable by its owner alone where the system
    // has owners; fails when anything (a file, a link, even a dangling one) stands at the name.
    static NativeFile CreateNew(const std::filesystem::path& path);
    // Creates a new file named `prefix` followed by characters chosen to make it unique, in the
    // same folder, as CreateNew does; `created` receives its name.
    static NativeFile CreateUnique(const std::filesystem::path& prefix, std::filesystem::path& created);

    bool IsOpen() const { return handle_ != kNone; }
    void Close();

    // A regular file (not a folder, pipe or device)?
    bool IsRegularFile() const;
    // Does `path` name this very file now (itself, not a link to it)?
    bool IsNamed(const std::filesystem::path& path) const;
    // The length in bytes, or -1.
    std::int64_t Size() const;
    // Bytes read (at most `count`), 0 at the end of the file, -1 on failure.
    std::int64_t ReadAt(void* out, std::size_t count, std::int64_t offset) const;
    // Bytes written (at least 1 unless `count` is 0), -1 on failure.
    std::int64_t WriteAt(const void* bytes, std::size_t count, std::int64_t offset);
    // Grows the file from `from` to `length` bytes with its blocks taken on disk, so that a full
    // disk fails here rather than at a later write.
    bool Allocate(std::int64_t from, std::int64_t length);
    bool SetSize(std::int64_t length);
    // Forces the file's data and length to the disk.
    bool Sync();
    // Copies `count` bytes of `source` at `offset` to the same offset here inside the system (the
    // file system may share the blocks); bytes copied, 0 when the source ends first, -1 on failure,
    // kCopyUnsupported when the system cannot copy between these files.
    std::int64_t CopyRangeFrom(const NativeFile& source, std::int64_t offset, std::size_t count);
    // A lock on the whole file for as long as it is open, without waiting. Locks of two opens of
    // one file exclude each other as their kinds say, also within one process. They never
    // hinder reading or writing the file.
    LockResult TryLock(LockKind kind);
    // Where files have owners: gives this file the owner of `other` when that is not the running
    // user (root compiling someone's map), best effort.
    void TakeOwnerOf(const NativeFile& other);
    // Where files have permission bits: sets them; true where there are none.
    bool SetPermissions(unsigned bits);

private:
#ifdef _WIN32
    static inline const Handle kNone = reinterpret_cast<Handle>(static_cast<std::intptr_t>(-1));  // INVALID_HANDLE_VALUE
#else
    static constexpr Handle kNone = -1;
#endif
    explicit NativeFile(Handle handle) : handle_(handle) {}
    Handle handle_ = kNone;
};

// The permission bits of the file at `path`, where files have them and it can be read.
std::optional<unsigned> PermissionsOf(const std::filesystem::path& path);
// Makes the names created, renamed or removed in `folder` durable, where the system needs that
// (best effort: some file systems refuse it).
void SyncFolder(const std::filesystem::path& folder);

enum class RemoveResult { Removed, Missing, Failed };
// Removes the name `path` (a link itself, never what it points to).
RemoveResult RemoveName(const std::filesystem::path& path);
// Renames `from` to `to`, replacing any file there, as one step that a crash leaves done or undone.
bool ReplaceName(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace xsc
