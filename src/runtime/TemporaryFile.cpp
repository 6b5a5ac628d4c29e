#include "runtime/TemporaryFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Error.h"
#include "runtime/FaultPoint.h"
#include "runtime/FileSystem.h"

namespace xsc {
namespace {

std::string Reason() { return std::strerror(errno); }

// Closes a descriptor on every path out of a function.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

constexpr std::string_view kSuffix = ".xsc-";
constexpr std::size_t kRandomPart = 6;  // the XXXXXX that mkstemp replaces

// ".<name>.xsc-XXXXXX": a temporary file of ours.
bool IsTemporaryName(const std::string& name) {
    return name.size() > 1 + kSuffix.size() + kRandomPart && name[0] == '.' &&
           name.compare(name.size() - kRandomPart - kSuffix.size(), kSuffix.size(), kSuffix) == 0;
}

// True while `fd` is what `path` names (a cleaner may have removed the name meanwhile).
bool StillNamed(int fd, const std::filesystem::path& path) {
    struct stat open {}, named {};
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

// A temporary file whose writer was killed stays behind, as large as the map it was becoming.
// Every writer holds the lock of its own temporary file while it lives, so a temporary file that
// can be locked has no writer left: it is removed. Best effort: what cannot be opened, locked or
// removed (another user's) is left alone.
void RemoveLeftovers(const std::filesystem::path& folder) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path path = it->path();
        if (!IsTemporaryName(path.filename().string()) || !it->is_regular_file(ec) || it->is_symlink(ec)) continue;
        Fd file{::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
        if (file.fd < 0 || ::flock(file.fd, LOCK_EX | LOCK_NB) != 0) continue;
        if (StillNamed(file.fd, path)) ::unlink(path.c_str());
    }
}

}  // namespace

TemporaryFile TemporaryFile::Beside(const std::filesystem::path& target, const std::filesystem::path* modeFrom) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    RemoveLeftovers(folder);
    // Built by appending: GCC 12 warns falsely (-Wrestrict) on "literal" + std::string.
    std::string name(".");
    name += target.filename().string();
    name += kSuffix;
    name += std::string(kRandomPart, 'X');
    const std::string pattern = (folder / name).string();
    for (;;) {
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        const int fd = ::mkstemp(buffer.data());
        if (fd < 0) {
            throw Error("cannot create a temporary file in " + folder.string() + ": " + Reason(), Error::Subject::Output);
        }
        TemporaryFile temporary{std::filesystem::path(buffer.data())};
        temporary.fd_ = fd;
        // Locked for as long as it lives; another writer's cleaner that took the new file for a
        // leftover before the lock removed its name: then a new one.
        const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;  // else locked, or no locks here
        if (held || !StillNamed(fd, temporary.path_)) {
            temporary.committed_ = true;  // not ours to remove any more
            continue;
        }
        struct stat info {};
        if (modeFrom != nullptr && ::stat(modeFrom->c_str(), &info) == 0) temporary.mode_ = static_cast<int>(info.st_mode & 0777);
        return temporary;
    }
}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : path_(std::move(other.path_)), committed_(other.committed_), mode_(other.mode_), fd_(other.fd_) {
    other.committed_ = true;  // the moved-from object no longer owns the file
    other.fd_ = -1;
}

TemporaryFile::~TemporaryFile() {
    if (!committed_ && !path_.empty()) ::unlink(path_.c_str());
    if (fd_ >= 0) ::close(fd_);  // releases the lock, after the name is gone
}

void TemporaryFile::CommitTo(const std::filesystem::path& target) {
    {
        Fd file{::open(path_.c_str(), O_RDWR | O_CLOEXEC)};
        if (file.fd >= 0 && mode_ >= 0 && ::fchmod(file.fd, static_cast<mode_t>(mode_)) != 0) {
            throw Error("cannot set the permissions of " + path_.string() + ": " + Reason(), Error::Subject::Output);
        }
        FaultPoint("flush");
        if (file.fd < 0 || ::fsync(file.fd) != 0) {
            throw Error("cannot flush " + path_.string() + " to disk: " + Reason(), Error::Subject::Output);
        }
    }
    FaultPoint("rename");
    if (::rename(path_.c_str(), target.c_str()) != 0) {
        throw Error("cannot rename the finished file into place: " + Reason(), Error::Subject::Output);
    }
    committed_ = true;
    ::close(fd_);  // its lock is of no use behind the target's name
    fd_ = -1;
    SyncFolderOf(target);  // make the rename itself durable
}

}  // namespace xsc
