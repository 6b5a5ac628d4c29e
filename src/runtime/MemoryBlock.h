#pragma once
// A growable, zero-filled byte buffer with little-endian 16- and 32-bit stores by byte offset.
// The compiler assembles node slots, strings and script records in these before any byte is
// written to a map.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace xsc {

class MemoryBlock {
public:
    MemoryBlock() = default;
    explicit MemoryBlock(std::size_t size) : bytes_(size, 0) {}

    std::size_t Size() const { return bytes_.size(); }
    // Growing keeps the bytes held and fills the new ones with zeros.
    void SetSize(std::size_t size) { bytes_.resize(size, 0); }

    // Stores at a byte offset; the block must already hold the bytes written.
    void Int16Value(std::size_t offset, std::int32_t value);
    void Int32Value(std::size_t offset, std::int32_t value);
    void UInt8Value(std::size_t offset, std::uint8_t value);
    void StringValue(std::size_t offset, std::string_view bytes);

    const std::uint8_t* Data() const { return bytes_.data(); }
    std::uint8_t* Data() { return bytes_.data(); }

private:
    void CheckRange(std::size_t offset, std::size_t width) const;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace xsc
