#pragma once
// A map file that lives in memory (memfd) but is opened by path like any other file, so the
// loader and the compile run their real file code without touching the disk. The robustness
// tests and the fuzz targets run thousands of loads and compiles through one of these.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace xsc::robust {

using Bytes = std::vector<std::uint8_t>;

class MemoryFile {
public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Replaces the whole content.
    void Assign(const std::uint8_t* data, std::size_t size);
    void Assign(const Bytes& bytes) { Assign(bytes.data(), bytes.size()); }
    Bytes Contents() const;
    // "/proc/self/fd/N": opening it opens this file.
    const std::filesystem::path& Path() const { return path_; }

private:
    int fd_ = -1;
    std::filesystem::path path_;
};

}  // namespace xsc::robust
