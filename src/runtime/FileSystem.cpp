#include "runtime/FileSystem.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/Error.h"
#include "runtime/FaultPoint.h"

namespace xsc {

void SyncFolderOf(const std::filesystem::path& file) {
    FaultPoint("flush folder");
    std::filesystem::path folder = file.parent_path();
    if (folder.empty()) folder = ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool RemoveDurably(const std::filesystem::path& file) {
    FaultPoint("remove");
    if (::unlink(file.c_str()) != 0) {
        if (errno == ENOENT) return false;
        throw Error("cannot remove " + file.string() + ": " + std::strerror(errno));
    }
    SyncFolderOf(file);
    return true;
}

}  // namespace xsc
