#include "runtime/TemporaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
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

}  // namespace

TemporaryFile TemporaryFile::Beside(const std::filesystem::path& target, const std::filesystem::path* modeFrom) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    // Built by appending: GCC 12 warns falsely (-Wrestrict) on "literal" + std::string.
    std::string name(".");
    name += target.filename().string();
    name += ".xsc-XXXXXX";
    const std::string pattern = (folder / name).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    Fd file{::mkstemp(buffer.data())};
    if (file.fd < 0) {
        throw Error("cannot create a temporary file in " + folder.string() + ": " + Reason(), Error::Subject::Output);
    }
    TemporaryFile temporary{std::filesystem::path(buffer.data())};
    struct stat info {};
    if (modeFrom != nullptr && ::stat(modeFrom->c_str(), &info) == 0) temporary.mode_ = static_cast<int>(info.st_mode & 0777);
    return temporary;
}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : path_(std::move(other.path_)), committed_(other.committed_), mode_(other.mode_) {
    other.committed_ = true;  // the moved-from object no longer owns the file
}

TemporaryFile::~TemporaryFile() {
    if (!committed_ && !path_.empty()) ::unlink(path_.c_str());
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
    SyncFolderOf(target);  // make the rename itself durable
}

}  // namespace xsc
