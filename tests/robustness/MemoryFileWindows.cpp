// The map "in memory" on Windows: a file of its own, removed at the end, in the host's memory file
// system where wine shows one (Z:\dev\shm: a flush there costs nothing, as with memfd, and the
// oracle flushes thousands of times), else in the temporary folder.

#include <fstream>
#include <iterator>
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

void MemoryFile::Assign(const Bytes& bytes) {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("cannot write " + path_.string());
}

Bytes MemoryFile::Contents() const {
    std::ifstream in(path_, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

}  // namespace xsc::robust
