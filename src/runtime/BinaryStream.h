#pragma once
// A little-endian, random-access byte stream over a file.
//
// Reads past the end are errors naming the offset, never silent zeros. File reads go through a
// small window cache so that byte-by-byte reads (tag names) do not cost a system call each.
// The stream closes its file when destroyed, so no error path can leak an open map.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/NativeFile.h"

namespace xsc {

class BinaryStream {
public:
    enum class Mode { ReadOnly, ReadWrite };

    // Opens a file; throws Error naming the file and the system's reason when it cannot.
    static BinaryStream OpenAsBinaryFile(const std::filesystem::path& path, Mode mode);
    // Creates a new, empty file for reading and writing, readable by its owner alone; fails when
    // anything (a file, a link) already stands at the name, and never follows a link.
    static BinaryStream CreateNew(const std::filesystem::path& path);
    BinaryStream(BinaryStream&& other) noexcept;
    BinaryStream& operator=(BinaryStream&& other) noexcept;
    BinaryStream(const BinaryStream&) = delete;
    BinaryStream& operator=(const BinaryStream&) = delete;
    ~BinaryStream();

    void SetPosition(std::int64_t position) { position_ = position; }
    std::int64_t Length() const { return length_; }
    // End of file (named Eof: EOF is a macro of the C library).
    bool Eof() const { return position_ >= length_; }

    std::string Read(std::size_t count);
    // Appends to `out` the bytes from the position up to the next zero byte, and moves past that
    // zero byte; false (the position at the end) when the file ends first. Names and texts are
    // stored so: reading them a byte at a time would cost a call per byte.
    bool ReadUpToZero(std::string& out);
    void ReadInto(std::uint8_t* out, std::size_t count);
    std::int8_t ReadInt8();
    std::int16_t ReadInt16();
    std::int32_t ReadInt32();
    // The 32-bit field at an absolute offset; a field outside the file is an error that names it
    // (`what`, e.g. "the scenario's string data size field") and its offset.
    std::int32_t ReadInt32At(std::int64_t offset, const std::string& what);

    void Write(const std::uint8_t* bytes, std::size_t count);

    // Grows the file to `length` and reserves its blocks on disk, so that a full disk or a
    // file-size limit fails here, before any byte of content has changed.
    void Reserve(std::int64_t length);
    // Cuts or extends the file to exactly `length` bytes.
    void SetLength(std::int64_t length);
    // Copies the bytes [offset, offset + count) of `source` to the same offsets of this file, in
    // the system where it can (the file system may share the blocks instead of copying them).
    void CopyFrom(const BinaryStream& source, std::int64_t offset, std::int64_t count);
    // Forces written data to the disk.
    void Flush();
    void Close();
    // The open file, for operations the stream does not offer (its owner, a lock).
    NativeFile& File() { return file_; }

private:
    BinaryStream() = default;
    void CheckReadable(std::size_t count) const;
    void FillCache(std::int64_t position);
    void PRead(std::uint8_t* out, std::size_t count, std::int64_t position) const;

    NativeFile file_;
    std::int64_t position_ = 0;
    std::int64_t length_ = 0;

    // Read window: the bytes of [cacheStart_, cacheStart_ + cache_.size()).
    std::vector<std::uint8_t> cache_;
    std::int64_t cacheStart_ = 0;
};

}  // namespace xsc
