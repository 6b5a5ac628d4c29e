// The walk of the tag layouts over a structured map with 100 MB of tag data (7,000 tags, file in
// the page cache): every tag's structs read and checked, the address fields listed; and the whole
// plan of a compile's fix-up from it (the list of moved addresses, sorted). Per byte of tag data.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "map/HaloPcMap.h"
#include "map/MapFile.h"
#include "map/TagWalk.h"
#include "map/WalkedFixup.h"
#include "mapgen/MapGenerator.h"

namespace xsc::bench {
namespace {

constexpr std::int64_t kTagData = 100 * 1024 * 1024;

struct WalkData {
    std::filesystem::path path;
    mapgen::MapLayout layout;
    HaloPcMap map;
};

WalkData& Data() {
    static WalkData data = [] {
        WalkData d;
        d.path = std::filesystem::temp_directory_path() / "xsc-walk-bench.map";
        mapgen::MapOptions options;
        options.seed = 2024;
        options.structured = true;
        options.tagCount = 7000;
        options.tagDataSize = kTagData;
        options.scenarioTailSize = 64 * 1024;
        d.layout = mapgen::WriteMap(d.path, options);
        d.map.LoadMap(d.path);
        return d;
    }();
    return data;
}

void BM_WalkTags(benchmark::State& state) {
    WalkData& data = Data();
    MapFile file = MapFile::Open(data.path, MapFile::Access::Read);
    std::size_t fields = 0;
    for (auto _ : state) {
        const TagWalk walk = WalkTags(file.Stream(), data.map, {});
        fields = walk.fields.size();
        benchmark::DoNotOptimize(walk.walked.data());
    }
    state.counters["fields"] = static_cast<double>(fields);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kTagData);
}
BENCHMARK(BM_WalkTags)->Unit(benchmark::kMillisecond);

// Arg: the growth.
void BM_PlanWalkedFixup(benchmark::State& state) {
    WalkData& data = Data();
    MapFile file = MapFile::Open(data.path, MapFile::Access::Read);
    const AddressFixup range = data.map.UpdateFromPoint(data.layout.scanStart, data.layout.stringDataEnd,
                                                        static_cast<std::int32_t>(state.range(0)));
    // The scenario's script fields are the compile's own.
    const std::int64_t fields = data.layout.scenarioOffset;
    const MovedBytes moved{data.layout.stringDataOffset, data.layout.stringDataEnd, data.layout.fileLength,
                           {{fields + 0x474, fields + 0x4B4}}};
    std::size_t fallbacks = 0;
    for (auto _ : state) {
        const WalkedFixup fixup(file.Stream(), data.map, range, moved, false);
        fallbacks = fixup.Fallbacks().size();
    }
    state.counters["fallbacks"] = static_cast<double>(fallbacks);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kTagData);
}
BENCHMARK(BM_PlanWalkedFixup)->Arg(4096)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace xsc::bench
