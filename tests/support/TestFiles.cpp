#include "support/TestFiles.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include <gtest/gtest.h>

#include "runtime/NativeFile.h"

namespace xsc::test {

TempDir::TempDir() {
    // A new folder "xsc-test-<16 hex digits>": create_directory says whether it made it.
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "xsc-test-%016llx", static_cast<unsigned long long>(random()));
        const std::filesystem::path candidate = std::filesystem::temp_directory_path() / name;
        if (std::filesystem::create_directory(candidate)) path_ = candidate;
    }
    if (path_.empty()) throw std::runtime_error("cannot create a temporary folder");
}

std::string NoSuchFileReason() {
    const NativeFile absent = NativeFile::Open(std::filesystem::temp_directory_path() / "xsc-no-such-file", NativeFile::Access::Read);
    return absent.IsOpen() ? "(the file exists)" : SystemReason();
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

Bytes ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const std::filesystem::path& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
    WriteBytes(path, Bytes(text.begin(), text.end()));
}

void ExpectGolden(const std::string& name, const std::string& actual) {
    const std::filesystem::path file = std::filesystem::path(__FILE__).parent_path().parent_path() / name;
    if (std::getenv("XSC_UPDATE_GOLDEN") != nullptr) {
        std::filesystem::create_directories(file.parent_path());
        WriteText(file, actual);
    }
    EXPECT_EQ(actual, ReadText(file)) << "golden file " << file;
}

Bytes BuildHandMap(const HandMap& m) {
    const std::size_t tagOffset = m.indexOffset + 0x28;
    std::size_t namesAt = tagOffset + 32 * m.tags.size();
    std::size_t length = namesAt;
    for (const HandTag& t : m.tags) length += t.name.size() + 1;
    Bytes b(std::max(length, m.minLength), 0xAB);
    for (std::size_t i = 0; i < 4 && i < m.headerCode.size(); ++i) b[i] = static_cast<std::uint8_t>(m.headerCode[i]);
    Put32(b, m.alternateHeader ? 0x5EC : 0x10, m.indexOffset);
    Put32(b, m.indexOffset, m.mapMagic);
    Put32(b, m.indexOffset + 0x0C,
          static_cast<std::uint32_t>(m.forceTagCount ? m.tagCountField : static_cast<std::int32_t>(m.tags.size())));
    const std::uint32_t magic = static_cast<std::uint32_t>(HandMagic(m));
    for (std::size_t i = 0; i < m.tags.size(); ++i) {
        const HandTag& t = m.tags[i];
        const std::size_t e = tagOffset + 32 * i;
        for (std::size_t k = 0; k < 12; ++k) b[e + k] = static_cast<std::uint8_t>(t.storedClasses.at(k));
        Put32(b, e + 0x0C, t.ident);
        Put32(b, e + 0x10, t.nameAddress >= 0 ? static_cast<std::uint32_t>(t.nameAddress)
                                              : static_cast<std::uint32_t>(namesAt) + magic);
        Put32(b, e + 0x14, t.dataAddress);
        for (char c : t.name) b[namesAt++] = static_cast<std::uint8_t>(c);
        b[namesAt++] = 0;
    }
    return b;
}

}  // namespace xsc::test
