#pragma once
// File helpers for tests: a temporary folder removed afterwards, whole-file reads and writes,
// and little-endian peeks and pokes into byte vectors (written independently of the code under
// test, so the tests decode what was written rather than reuse the encoder).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace xsc::test {

using Bytes = std::vector<std::uint8_t>;

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

Bytes ReadBytes(const std::filesystem::path& path);
std::string ReadText(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);
void WriteText(const std::filesystem::path& path, const std::string& text);
// What the system says when a file to open is not there ("No such file or directory" on Linux,
// its own words on Windows), as error messages quote it.
std::string NoSuchFileReason();

// Expects `actual` to equal the golden file `name` (a path under tests/, "cli/session.expected").
// With XSC_UPDATE_GOLDEN=1 in the environment it rewrites the file from `actual` instead.
void ExpectGolden(const std::string& name, const std::string& actual);

inline std::uint32_t Get32(const Bytes& b, std::size_t at) {
    return b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16) | (static_cast<std::uint32_t>(b.at(at + 3)) << 24);
}
inline std::uint16_t Get16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}
inline void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

// A hand-laid map for loader tests: every entry's bytes are given explicitly.
struct HandTag {
    std::string storedClasses = "rncsrncsrncs";  // the 12 class code bytes as stored on disk
    std::uint32_t ident = 0;
    std::string name;                  // written behind the entries, zero-terminated
    std::int64_t nameAddress = -1;     // when >= 0, used instead of the written name's address
    std::uint32_t dataAddress = 0;
};

struct HandMap {
    std::string headerCode = "daeh";
    bool alternateHeader = false;      // index offset at 0x5EC instead of 0x10
    std::uint32_t indexOffset = 0x800;
    std::uint32_t mapMagic = 0x40440028;
    std::int32_t tagCountField = -1;   // when >= 0 (or forced), written instead of tags.size()
    bool forceTagCount = false;
    std::vector<HandTag> tags;
    std::size_t minLength = 0x900;
};

// Magic of a hand map: mapMagic - (indexOffset + 0x28), wrapping.
inline std::int32_t HandMagic(const HandMap& m) {
    return static_cast<std::int32_t>(m.mapMagic - (m.indexOffset + 0x28));
}
Bytes BuildHandMap(const HandMap& map);

}  // namespace xsc::test
