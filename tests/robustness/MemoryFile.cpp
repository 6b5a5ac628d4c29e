#include "MemoryFile.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace xsc::robust {
namespace {

[[noreturn]] void Fail(const char* what) { throw std::runtime_error(std::string(what) + ": " + std::strerror(errno)); }

}  // namespace

MemoryFile::MemoryFile() {
    fd_ = ::memfd_create("xsc-map", MFD_CLOEXEC);
    if (fd_ < 0) Fail("memfd_create");
    path_ = "/proc/self/fd/" + std::to_string(fd_);
}

MemoryFile::~MemoryFile() {
    if (fd_ >= 0) ::close(fd_);
}

void MemoryFile::Assign(const std::uint8_t* data, std::size_t size) {
    if (::ftruncate(fd_, 0) != 0) Fail("ftruncate");
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = ::pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) Fail("pwrite");
        done += static_cast<std::size_t>(put);
    }
}

Bytes MemoryFile::Contents() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) Fail("fstat");
    Bytes bytes(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::pread(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) Fail("pread");
        done += static_cast<std::size_t>(got);
    }
    return bytes;
}

}  // namespace xsc::robust
