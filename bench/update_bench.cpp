// HaloPcMap::UpdateFromPoint on a generated map file with ~100 MB behind the scan start: reading,
// scanning and writing back through the file, with the file in the page cache after the first
// pass.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "BenchMaps.h"
#include "map/HaloPcMap.h"

namespace xsc::bench {
namespace {

class BenchMapFile {
public:
    BenchMapFile()
        : path_(std::filesystem::temp_directory_path() / ("xsc_bench_" + std::to_string(::getpid()) + ".map")) {
        layout_ = mapgen::WriteMap(path_, BenchMapOptions());
    }
    ~BenchMapFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    BenchMapFile(const BenchMapFile&) = delete;
    BenchMapFile& operator=(const BenchMapFile&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    const mapgen::MapLayout& Layout() const { return layout_; }

private:
    std::filesystem::path path_;
    mapgen::MapLayout layout_;
};

// Arg: the growth (see BM_ScanWords).
void BM_UpdateFromPoint(benchmark::State& state) {
    static BenchMapFile file;
    HaloPcMap map;
    map.LoadMap(file.Path());
    const mapgen::MapLayout& layout = file.Layout();
    const auto growth = static_cast<std::int32_t>(state.range(0));
    FixupReport report;
    for (auto _ : state) {
        report = map.UpdateFromPoint(map.TagCache.at(1)->Offset, layout.stringDataEnd, growth);
        benchmark::DoNotOptimize(report);
    }
    state.SetBytesProcessed(state.iterations() * (layout.fileLength - layout.scanStart));
    state.counters["corrected"] = static_cast<double>(report.wordsCorrected);
}
// Wall time: the system calls and the page cache are part of the cost.
BENCHMARK(BM_UpdateFromPoint)->Arg(0)->Arg(kTypicalGrowth)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace xsc::bench
