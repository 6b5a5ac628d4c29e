#pragma once
// Little-endian encoding of fixed-width integers: the only place where bytes become numbers.
// Every integer in a map file is little-endian; these helpers work byte by byte so they are
// independent of the host's byte order and of alignment.

#include <bit>
#include <cstdint>
#include <cstring>

namespace xsc {

inline std::uint16_t DecodeFixed16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t DecodeFixed32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t DecodeFixed64(const std::uint8_t* p) {
    return DecodeFixed32(p) | (static_cast<std::uint64_t>(DecodeFixed32(p + 4)) << 32);
}

inline void EncodeFixed16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void EncodeFixed32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

inline void EncodeFixed64(std::uint8_t* p, std::uint64_t v) {
    EncodeFixed32(p, static_cast<std::uint32_t>(v));
    EncodeFixed32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

// The same little-endian 32-bit load and store for hot loops over large buffers: one machine load
// on little-endian hosts, which lets the compiler vectorise a scan over millions of words.
inline std::uint32_t LoadLe32(const std::uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint32_t w;
        std::memcpy(&w, p, 4);
        return w;
    } else {
        return DecodeFixed32(p);
    }
}

inline void StoreLe32(std::uint8_t* p, std::uint32_t w) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &w, 4);
    } else {
        EncodeFixed32(p, w);
    }
}

}  // namespace xsc
