#pragma once
// The generator's pseudo-random numbers: splitmix64, one 64-bit word per step. Fast enough to fill
// a 128 MB map in a few tens of milliseconds, and fully determined by its seed.

#include <cstdint>

namespace xsc::mapgen {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    // A stream of its own for one part of the map, so that changing the size of one part does not
    // change the bytes of the others.
    static Random ForPart(std::uint64_t seed, std::uint64_t part) {
        Random mixer(seed ^ (part * 0xD1B54A32D192ED03ULL));
        return Random(mixer.Next64());
    }

    std::uint64_t Next64() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::uint32_t Next32() { return static_cast<std::uint32_t>(Next64() >> 32); }
    // A value in [0, bound); bound > 0. The slight bias of the modulo does not matter here.
    std::uint64_t Below(std::uint64_t bound) { return Next64() % bound; }

private:
    std::uint64_t state_;
};

}  // namespace xsc::mapgen
