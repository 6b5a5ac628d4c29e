// The map "in memory" on Windows: a file of its own, removed at the end, in the host's memory file
// system where wine shows one (Z:\dev\shm: a flush there costs nothing, as with memfd, and the
// oracle flushes thousands of times), else in the temporary folder.

#include <random>
#include <stdexcept>
#include <string>

#include "MemoryFile.h"

namespace xsc::robust {

MemoryFile::MemoryFile() {
    std::random_device seed;
    std::error_code absent;
    const std::filesystem::path memory = "Z:\\dev\\shm";
    const std::filesystem::path folder =
        std::filesystem::is_directory(memory, absent) ? memory : std::filesystem::temp_directory_path();
    path_ = folder / ("xsc-map-" + std::to_string(seed()) + std::to_string(seed()) + ".map");
    Assign({});
}

MemoryFile::~MemoryFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

}  // namespace xsc::robust
