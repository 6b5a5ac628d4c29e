#pragma once
// The generated data the benchmarks run on: ~100 MB of tag data behind the scan start, laid out
// and sprinkled with addresses as the data of real tags is.

#include <cstdint>
#include <filesystem>

#include "mapgen/MapGenerator.h"

namespace xsc::bench {

constexpr std::int64_t kBenchTagData = 100 * 1024 * 1024;

inline mapgen::MapOptions BenchMapOptions() {
    mapgen::MapOptions options;
    options.seed = 2024;
    options.tagCount = 4000;
    options.tagDataSize = kBenchTagData;
    return options;
}

// The growth of a typical compile: a few hundred node texts and script records.
constexpr std::int32_t kTypicalGrowth = 4 * 1024;

}  // namespace xsc::bench
