#include "MemoryFile.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace xsc::robust {

// Through the path, as every other user of the file opens it: the same on both systems.
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
