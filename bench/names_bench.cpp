// The names of the map's things: reading them from a 128 MB map with realistic tag data and 2000
// tags (the blocks lie in the scenario, so the map's size should not matter), and looking a
// script's worth of names up.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "BenchMaps.h"
#include "map/HaloPcMap.h"
#include "mapgen/SampleNames.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"

namespace {

namespace fs = std::filesystem;

const fs::path& NamedMap() { return xsc::bench::NamedBenchMap(); }

void BM_ReadMapNames(benchmark::State& state) {
    xsc::HaloPcMap map;
    map.LoadMap(NamedMap());
    for (auto _ : state) benchmark::DoNotOptimize(xsc::MapNames::Read(map).Blocks().size());
}
BENCHMARK(BM_ReadMapNames)->Unit(benchmark::kMillisecond);

// 1000 names of each kind the catalogue has: camera points, encounter squads, object names, sound
// tags among the 2000 tags.
void BM_ResolveNames(benchmark::State& state) {
    xsc::HaloPcMap map;
    map.LoadMap(NamedMap());
    const xsc::MapNames names = xsc::MapNames::Read(map);
    const xsc::NameResolver resolver(names);
    const std::vector<std::pair<int, std::string>> values{
        {13, "point_2"}, {17, "enc_marines/escort"}, {38, "marine_sarge"}, {24, "sound\\sfx\\alarm"}};
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            for (const auto& [type, text] : values) benchmark::DoNotOptimize(resolver.Resolve(type, text).value);
        }
    }
    state.SetItemsProcessed(state.iterations() * 4000);
}
BENCHMARK(BM_ResolveNames)->Unit(benchmark::kMillisecond);

}  // namespace
