#include "runtime/BinaryStream.h"

#include <cstring>

#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/FaultPoint.h"
#include "runtime/Utf8Path.h"

namespace xsc {
namespace {

constexpr std::size_t kCacheWindow = 64 * 1024;

}  // namespace

BinaryStream BinaryStream::OpenAsBinaryFile(const std::filesystem::path& path, Mode mode) {
    BinaryStream stream;
    stream.file_ = NativeFile::Open(path, mode == Mode::ReadOnly ? NativeFile::Access::Read : NativeFile::Access::ReadWrite);
    if (!stream.file_.IsOpen()) {
        throw Error::InMap(std::string("cannot open for ") +
                           (mode == Mode::ReadOnly ? "reading" : "writing") + ": " +
                           SystemReason());
    }
    if (!stream.file_.IsRegularFile()) throw Error::InMap("not a regular file");
    stream.length_ = stream.file_.Size();
    if (stream.length_ < 0) throw Error::InMap("cannot read file size: " + SystemReason());
    return stream;
}

BinaryStream BinaryStream::CreateNew(const std::filesystem::path& path) {
    BinaryStream stream;
    stream.file_ = NativeFile::CreateNew(path);
    if (!stream.file_.IsOpen()) throw Error("cannot create " + Utf8(path) + ": " + SystemReason());
    return stream;
}

BinaryStream::BinaryStream(BinaryStream&& other) noexcept { *this = std::move(other); }

BinaryStream& BinaryStream::operator=(BinaryStream&& other) noexcept {
    if (this != &other) {
        Close();
        file_ = std::move(other.file_);
        position_ = other.position_;
        length_ = other.length_;
        cache_ = std::move(other.cache_);
        cacheStart_ = other.cacheStart_;
    }
    return *this;
}

BinaryStream::~BinaryStream() { Close(); }

void BinaryStream::Close() {
    file_.Close();
    cache_.clear();
}

void BinaryStream::CheckReadable(std::size_t count) const {
    if (position_ < 0 || position_ > length_ ||
        static_cast<std::uint64_t>(length_ - position_) < count) {
        throw Error::AtOffset("unexpected end of file: " + ByteCount(count) + " needed, the file is " + ByteCount(length_) + " long",
                              position_);
    }
}

void BinaryStream::PRead(std::uint8_t* out, std::size_t count, std::int64_t position) const {
    std::size_t done = 0;
    while (done < count) {
        const std::int64_t got = file_.ReadAt(out + done, count - done, position + static_cast<std::int64_t>(done));
        if (got < 0) throw Error::AtOffset("cannot read: " + SystemReason(), position + static_cast<std::int64_t>(done));
        if (got == 0) {
            throw Error::AtOffset("unexpected end of file: the file is shorter than when it was opened",
                                  position + static_cast<std::int64_t>(done));
        }
        done += static_cast<std::size_t>(got);
    }
}

void BinaryStream::FillCache(std::int64_t position) {
    const std::int64_t available = length_ - position;
    cache_.resize(static_cast<std::size_t>(std::min<std::int64_t>(available, kCacheWindow)));
    cacheStart_ = position;
    PRead(cache_.data(), cache_.size(), position);
}

void BinaryStream::ReadInto(std::uint8_t* out, std::size_t count) {
    CheckReadable(count);
    if (count == 0) return;
    if (count >= kCacheWindow) {
        PRead(out, count, position_);
    } else {
        const std::int64_t cacheEnd = cacheStart_ + static_cast<std::int64_t>(cache_.size());
        if (position_ < cacheStart_ || position_ + static_cast<std::int64_t>(count) > cacheEnd) {
            FillCache(position_);
        }
        std::memcpy(out, cache_.data() + (position_ - cacheStart_), count);
    }
    position_ += static_cast<std::int64_t>(count);
}

std::string BinaryStream::Read(std::size_t count) {
    std::string bytes(count, '\0');
    ReadInto(reinterpret_cast<std::uint8_t*>(bytes.data()), count);
    return bytes;
}

bool BinaryStream::ReadUpToZero(std::string& out) {
    if (position_ < 0) CheckReadable(1);
    while (position_ < length_) {
        const std::int64_t cacheEnd = cacheStart_ + static_cast<std::int64_t>(cache_.size());
        if (position_ < cacheStart_ || position_ >= cacheEnd) FillCache(position_);
        const auto* from = reinterpret_cast<const char*>(cache_.data() + (position_ - cacheStart_));
        const auto available = static_cast<std::size_t>(cacheStart_ + static_cast<std::int64_t>(cache_.size()) - position_);
        const auto* zero = static_cast<const char*>(std::memchr(from, 0, available));
        const std::size_t taken = zero ? static_cast<std::size_t>(zero - from) : available;
        out.append(from, taken);
        position_ += static_cast<std::int64_t>(taken);
        if (zero) {
            ++position_;
            return true;
        }
    }
    return false;
}

std::int8_t BinaryStream::ReadInt8() {
    std::uint8_t b = 0;
    ReadInto(&b, 1);
    return static_cast<std::int8_t>(b);
}

std::int16_t BinaryStream::ReadInt16() {
    std::uint8_t b[2];
    ReadInto(b, 2);
    return static_cast<std::int16_t>(DecodeFixed16(b));
}

std::int32_t BinaryStream::ReadInt32() {
    std::uint8_t b[4];
    ReadInto(b, 4);
    return static_cast<std::int32_t>(DecodeFixed32(b));
}

std::int32_t BinaryStream::ReadInt32At(std::int64_t offset, const std::string& what) {
    if (offset < 0 || offset > length_ - 4) {
        throw Error::AtOffset(what + " lies outside the file (" + ByteCount(length_) + ")", offset);
    }
    position_ = offset;
    return ReadInt32();
}

void BinaryStream::Write(const std::uint8_t* bytes, std::size_t count) {
    if (position_ < 0) throw Error::AtOffset("cannot write before the start of the file", position_);
    FaultPoint("write");
    const std::int64_t end = position_ + static_cast<std::int64_t>(count);
    cache_.clear();  // the window may hold the old bytes
    std::size_t done = 0;
    while (done < count) {
        const std::int64_t put = file_.WriteAt(bytes + done, count - done, position_ + static_cast<std::int64_t>(done));
        if (put < 0) throw Error::AtOffset("cannot write: " + SystemReason(), position_ + static_cast<std::int64_t>(done));
        done += static_cast<std::size_t>(put);
    }
    position_ = end;
    if (end > length_) length_ = end;
}

void BinaryStream::Reserve(std::int64_t length) {
    if (length <= length_) return;
    FaultPoint("reserve");
    if (!file_.Allocate(length_, length)) {
        const std::string reason = SystemReason();
        // A failed reservation may have grown the file in part: cut it back so nothing changed.
        file_.SetSize(length_);
        throw Error::InMap("cannot grow the file to " + std::to_string(length) + " bytes: " + reason);
    }
    length_ = length;
}

void BinaryStream::SetLength(std::int64_t length) {
    FaultPoint("set length");
    if (!file_.SetSize(length)) {
        throw Error::InMap("cannot set the file length to " + std::to_string(length) + " bytes: " + SystemReason());
    }
    cache_.clear();
    length_ = length;
}

void BinaryStream::CopyFrom(const BinaryStream& source, std::int64_t offset, std::int64_t count) {
    if (offset < 0 || count < 0 || offset + count > source.length_) {
        throw Error::AtOffset("cannot copy " + ByteCount(count) + ": they lie outside the file", offset);
    }
    cache_.clear();
    FaultPoint("copy");
    std::int64_t done = 0;
    bool kernelCopy = true;
    std::vector<std::uint8_t> buffer;
    while (done < count) {
        const auto remaining = static_cast<std::size_t>(count - done);
        if (kernelCopy) {
            const std::int64_t n = file_.CopyRangeFrom(source.file_, offset + done, remaining);
            if (n == NativeFile::kCopyUnsupported) {
                kernelCopy = false;  // not between these files: copy through memory
                continue;
            }
            if (n < 0) throw Error::AtOffset("cannot copy: " + SystemReason(), offset + done);
            if (n == 0) throw Error::AtOffset("unexpected end of file: the file shrank while it was copied", offset + done);
            done += n;
        } else {
            buffer.resize(std::min<std::size_t>(remaining, 8 * 1024 * 1024));
            const std::size_t n = std::min(buffer.size(), remaining);
            source.PRead(buffer.data(), n, offset + done);
            position_ = offset + done;
            Write(buffer.data(), n);
            done += static_cast<std::int64_t>(n);
        }
    }
    if (offset + count > length_) length_ = offset + count;
}

void BinaryStream::Flush() {
    FaultPoint("flush");
    if (file_.IsOpen() && !file_.Sync()) throw Error::InMap("cannot flush to disk: " + SystemReason());
}

}  // namespace xsc
