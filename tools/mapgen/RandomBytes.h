#pragma once
// A pseudo-random byte stream that gives the same bytes however its output is cut into pieces:
// 8 bytes per draw, the unused bytes of a draw kept for the next piece.

#include <cstddef>
#include <cstdint>

#include "mapgen/Random.h"

namespace xsc::mapgen {

class RandomBytes {
public:
    explicit RandomBytes(Random random) : random_(random) {}

    void Fill(std::uint8_t* out, std::size_t count);

private:
    Random random_;
    std::uint64_t pending_ = 0;     // bytes left of the last draw, lowest first
    std::size_t pendingCount_ = 0;
};

}  // namespace xsc::mapgen
