#include "runtime/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/Error.h"

namespace xsc {

FileLock FileLock::Take(const std::filesystem::path& file, Kind kind) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) throw Error::InMap(std::string("cannot open for reading: ") + std::strerror(errno));
    FileLock lock(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return lock;
    if (::flock(fd, (kind == Kind::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) throw Error(file.filename().string() + " is being compiled by another process");
        throw Error::InMap(std::string("cannot lock the map: ") + std::strerror(errno));
    }
    return lock;
}

FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing the descriptor releases the lock
}

}  // namespace xsc
