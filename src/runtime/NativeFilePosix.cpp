// The file primitives on POSIX systems (Linux): descriptors, flock, fsync of folders.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "runtime/NativeFile.h"

namespace xsc {

std::string SystemReason() { return std::strerror(errno); }

NativeFile NativeFile::Open(const std::filesystem::path& path, Access access) {
    // Non-blocking, so that a named pipe is refused instead of waiting forever for a writer.
    // Regular files ignore the flag.
    const int flags = (access == Access::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NONBLOCK;
    return NativeFile(::open(path.c_str(), flags));
}

NativeFile NativeFile::CreateNew(const std::filesystem::path& path) {
    return NativeFile(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR));
}

NativeFile NativeFile::CreateUnique(const std::filesystem::path& prefix, std::filesystem::path& created) {
    const std::string pattern = prefix.string() + "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    NativeFile file(::mkostemp(name.data(), O_CLOEXEC));  // owner read-write, O_EXCL
    if (file.IsOpen()) created = name.data();
    return file;
}

void NativeFile::Close() {
    if (handle_ != kNone) ::close(handle_);
    handle_ = kNone;
}

bool NativeFile::IsRegularFile() const {
    struct stat info {};
    return ::fstat(handle_, &info) == 0 && S_ISREG(info.st_mode);
}

bool NativeFile::IsNamed(const std::filesystem::path& path) const {
    struct stat open {}, named {};
    return ::fstat(handle_, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

std::int64_t NativeFile::Size() const {
    struct stat info {};
    return ::fstat(handle_, &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
}

std::int64_t NativeFile::ReadAt(void* out, std::size_t count, std::int64_t offset) const {
    for (;;) {
        const ssize_t got = ::pread(handle_, out, count, offset);
        if (got < 0 && errno == EINTR) continue;
        return got;
    }
}

std::int64_t NativeFile::WriteAt(const void* bytes, std::size_t count, std::int64_t offset) {
    for (;;) {
        const ssize_t put = ::pwrite(handle_, bytes, count, offset);
        if (put < 0 && errno == EINTR) continue;
        if (put == 0 && count > 0) {
            errno = ENOSPC;
            return -1;
        }
        return put;
    }
}

bool NativeFile::Allocate(std::int64_t from, std::int64_t length) {
    const int result = ::posix_fallocate(handle_, from, length - from);
    if (result != 0) errno = result;  // it reports its error as its result, not in errno
    return result == 0;
}

bool NativeFile::SetSize(std::int64_t length) { return ::ftruncate(handle_, length) == 0; }

bool NativeFile::Sync() { return ::fsync(handle_) == 0; }

std::int64_t NativeFile::CopyRangeFrom(const NativeFile& source, std::int64_t offset, std::size_t count) {
    for (;;) {
        off_t from = offset;
        off_t to = offset;
        const ssize_t n = ::copy_file_range(source.handle_, &from, handle_, &to, count, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) return kCopyUnsupported;
        return n;
    }
}

NativeFile::LockResult NativeFile::TryLock(LockKind kind) {
    if (::flock(handle_, (kind == LockKind::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return LockResult::Taken;
    return errno == EWOULDBLOCK ? LockResult::Busy : LockResult::Failed;
}

void NativeFile::TakeOwnerOf(const NativeFile& other) {
    struct stat owner {};
    if (::fstat(other.handle_, &owner) == 0 && owner.st_uid != ::geteuid()) {
        [[maybe_unused]] const int ignored = ::fchown(handle_, owner.st_uid, owner.st_gid);
    }
}

bool NativeFile::SetPermissions(unsigned bits) { return ::fchmod(handle_, static_cast<mode_t>(bits)) == 0; }

std::optional<unsigned> PermissionsOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return static_cast<unsigned>(info.st_mode & 0777);
}

void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

RemoveResult RemoveName(const std::filesystem::path& path) {
    if (::unlink(path.c_str()) == 0) return RemoveResult::Removed;
    return errno == ENOENT ? RemoveResult::Missing : RemoveResult::Failed;
}

bool ReplaceName(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace xsc
