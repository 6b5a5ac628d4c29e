#pragma once
// The generated data the benchmarks run on, laid out and filled as the data of real tags is:
// about 1.5% of the words are addresses into the moved data, as many again are addresses in
// front of it and floats from 3 to 23 (which look like addresses to the fix-up).

#include <cstdint>
#include <filesystem>

#include "mapgen/MapGenerator.h"

namespace xsc::bench {

// Half of the special words are addresses into the moved data: one in 33 words is special.
constexpr std::uint32_t kRealisticAddressEvery = 33;

inline mapgen::MapOptions BenchMapOptions(std::int64_t headSize, std::int64_t tagData) {
    mapgen::MapOptions options;
    options.seed = 2024;
    options.tagCount = 2000;
    options.headSize = headSize;
    options.tagDataSize = tagData;
    options.addressEvery = kRealisticAddressEvery;
    options.realisticFill = true;
    return options;
}

// A 128 MB map with realistic tag data, 2000 tags and the generator's named things, written once
// per run into the temporary folder.
inline const std::filesystem::path& NamedBenchMap() {
    static const std::filesystem::path path = [] {
        const std::filesystem::path p = std::filesystem::temp_directory_path() / "xsc-bench-names.map";
        mapgen::MapOptions options = BenchMapOptions(64 * 1024, 128 << 20);
        options.names = true;
        mapgen::WriteMap(p, options);
        return p;
    }();
    return path;
}

// The growth of a typical compile: a few hundred node texts and script records.
constexpr std::int32_t kTypicalGrowth = 4 * 1024;

}  // namespace xsc::bench
