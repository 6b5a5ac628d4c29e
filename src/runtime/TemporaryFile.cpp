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
        if (file.fd < 0 || ::fsync(file.fd) != 0) {
            throw Error("cannot flush " + path_.string() + " to disk: " + Reason(), Error::Subject::Output);
        }
    }
    if (::rename(path_.c_str(), target.c_str()) != 0) {
        throw Error("cannot rename the finished file into place: " + Reason(), Error::Subject::Output);
    }
    committed_ = true;
    // Make the rename itself durable.
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    Fd dir{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (dir.fd >= 0) ::fsync(dir.fd);
}

void CopyFileContents(const std::filesystem::path& from, const std::filesystem::path& to) {
    Fd in{::open(from.c_str(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0) throw Error::InMap("cannot open for reading: " + Reason());
    Fd out{::open(to.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC)};
    if (out.fd < 0) throw Error("cannot open " + to.string() + " for writing: " + Reason(), Error::Subject::Output);
    struct stat info {};
    if (::fstat(in.fd, &info) != 0) throw Error::InMap("cannot read file size: " + Reason());
    off_t remaining = info.st_size;
    bool kernelCopy = true;
    std::vector<char> buffer;
    while (remaining > 0) {
        ssize_t done = -1;
        if (kernelCopy) {
            done = ::copy_file_range(in.fd, nullptr, out.fd, nullptr, static_cast<size_t>(remaining), 0);
            if (done < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                kernelCopy = false;
                continue;
            }
        } else {
            buffer.resize(8 * 1024 * 1024);
            const ssize_t got = ::read(in.fd, buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) throw Error::InMap(got == 0 ? "the file shrank while it was copied" : "cannot read: " + Reason());
            ssize_t put = 0;
            while (put < got) {
                const ssize_t n = ::write(out.fd, buffer.data() + put, static_cast<size_t>(got - put));
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) throw Error("cannot write " + to.string() + ": " + Reason(), Error::Subject::Output);
                put += n;
            }
            done = got;
        }
        if (done < 0 && errno == EINTR) continue;
        if (done < 0) throw Error("cannot write " + to.string() + ": " + Reason(), Error::Subject::Output);
        if (done == 0) throw Error::InMap("the file shrank while it was copied");
        remaining -= done;
    }
}

}  // namespace xsc
