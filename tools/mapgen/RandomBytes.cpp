#include "mapgen/RandomBytes.h"

#include "runtime/ByteOrder.h"

namespace xsc::mapgen {
namespace {

void Store64(std::uint8_t* out, std::uint64_t value) {
    EncodeFixed32(out, static_cast<std::uint32_t>(value));
    EncodeFixed32(out + 4, static_cast<std::uint32_t>(value >> 32));
}

}  // namespace

void RandomBytes::Fill(std::uint8_t* out, std::size_t count) {
    while (count > 0 && pendingCount_ > 0) {
        *out++ = static_cast<std::uint8_t>(pending_);
        pending_ >>= 8;
        --pendingCount_;
        --count;
    }
    for (; count >= 8; count -= 8, out += 8) Store64(out, random_.Next64());
    if (count == 0) return;
    pending_ = random_.Next64();
    pendingCount_ = 8;
    Fill(out, count);
}

}  // namespace xsc::mapgen
