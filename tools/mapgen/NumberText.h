#pragma once
// Numbers as the generator's and the benchmarks' command lines take them.

#include <cstdint>
#include <string_view>

namespace xsc::mapgen {

// A byte count: decimal digits, optionally followed by K, M or G (binary multiples, any letter
// case): "4096", "64K", "128M". Throws xsc::Error for anything else or a count past 2^62.
std::int64_t ParseByteCount(std::string_view text);

// A 32-bit value: decimal with an optional sign, or 0x followed by up to 8 hex digits, taken as a
// bit pattern ("0xC0000000" is negative). Throws xsc::Error for anything else or a value that
// does not fit 32 bits.
std::int32_t ParseInt32(std::string_view text);

}  // namespace xsc::mapgen
