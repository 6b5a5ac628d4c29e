#include "runtime/MemoryBlock.h"

#include <cstring>

#include "runtime/ByteOrder.h"
#include "runtime/Error.h"

namespace xsc {

void MemoryBlock::CheckRange(std::size_t offset, std::size_t width) const {
    if (offset > bytes_.size() || width > bytes_.size() - offset) {
        throw Error("internal error: memory block access of " + std::to_string(width) +
                    " bytes at " + std::to_string(offset) + " outside its " +
                    std::to_string(bytes_.size()) + " bytes");
    }
}

void MemoryBlock::Int16Value(std::size_t offset, std::int32_t value) {
    CheckRange(offset, 2);
    EncodeFixed16(bytes_.data() + offset, static_cast<std::uint16_t>(value));
}

void MemoryBlock::Int32Value(std::size_t offset, std::int32_t value) {
    CheckRange(offset, 4);
    EncodeFixed32(bytes_.data() + offset, static_cast<std::uint32_t>(value));
}

void MemoryBlock::UInt8Value(std::size_t offset, std::uint8_t value) {
    CheckRange(offset, 1);
    bytes_[offset] = value;
}

void MemoryBlock::StringValue(std::size_t offset, std::string_view bytes) {
    CheckRange(offset, bytes.size());
    if (!bytes.empty()) std::memcpy(bytes_.data() + offset, bytes.data(), bytes.size());
}

}  // namespace xsc
