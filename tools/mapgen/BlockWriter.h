#pragma once
// Little-endian output in large blocks. The map's bytes are produced front to back into a block of
// a few megabytes that is handed to a sink whenever it fills, so the same code fills a vector in
// memory and streams a file of any size.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "runtime/ByteOrder.h"

namespace xsc::mapgen {

class BlockWriter {
public:
    using Sink = std::function<void(const std::uint8_t* bytes, std::size_t count)>;

    static constexpr std::size_t kDefaultBlockSize = 4 * 1024 * 1024;

    explicit BlockWriter(Sink sink, std::size_t blockSize = kDefaultBlockSize);

    // Bytes produced so far, flushed or not: the file offset of the next byte.
    std::int64_t Offset() const { return flushed_ + static_cast<std::int64_t>(used_); }

    void Put8(std::uint8_t value) {
        Room(1);
        block_[used_++] = value;
    }
    void Put16(std::uint16_t value) {
        Room(2);
        EncodeFixed16(&block_[used_], value);
        used_ += 2;
    }
    void Put32(std::uint32_t value) {
        Room(4);
        EncodeFixed32(&block_[used_], value);
        used_ += 4;
    }
    void PutBytes(std::string_view bytes);
    void PutFill(std::uint8_t value, std::int64_t count);

    // Hands `count` bytes of the block to `fill`, in pieces no larger than the block, so large
    // runs are produced in place without a call per word.
    void PutGenerated(std::int64_t count, const std::function<void(std::uint8_t*, std::size_t)>& fill);

    // Hands every byte not yet given to the sink.
    void Flush();

private:
    void Room(std::size_t count) {
        if (block_.size() - used_ < count) Flush();
    }

    Sink sink_;
    std::vector<std::uint8_t> block_;
    std::size_t used_ = 0;
    std::int64_t flushed_ = 0;
};

}  // namespace xsc::mapgen
