#pragma once
// The map format's 32-bit arithmetic: offsets, addresses and identity numbers are 32-bit values
// whose sums and differences wrap around, as they do in the game's own code.

#include <cstdint>

namespace xsc {

// The low 32 bits of a value as a signed 32-bit integer: 0x80000000 gives INT32_MIN, 2^32 + 5
// gives 5.
constexpr std::int32_t Wrap32(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

}  // namespace xsc
