#include "MemoryFile.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace xsc::robust {

MemoryFile::MemoryFile() : fd_(::memfd_create("xsc-map", MFD_CLOEXEC)) {
    if (fd_ < 0) throw std::runtime_error(std::string("memfd_create: ") + std::strerror(errno));
    path_ = "/proc/self/fd/" + std::to_string(fd_);
}

MemoryFile::~MemoryFile() { ::close(fd_); }

}  // namespace xsc::robust
