#pragma once
// A map file that lives in memory (memfd) but is opened by path like any other file, so the
// loader and the compile run their real file code without touching the disk. Windows has no file
// in memory that opens by path: there it is a temporary file (MemoryFileWindows.cpp), which the
// system keeps in its cache.

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

    void Assign(const Bytes& bytes);  // replaces the whole content
    Bytes Contents() const;
    const std::filesystem::path& Path() const { return path_; }  // "/proc/self/fd/N"

private:
    int fd_ = -1;
    std::filesystem::path path_;
};

}  // namespace xsc::robust
