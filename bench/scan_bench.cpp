// ScanWords over ~100 MB of generated tag data in memory: the fix-up's inner loop alone.

#include <benchmark/benchmark.h>

#include <vector>

#include "BenchMaps.h"
#include "map/AddressFixup.h"

namespace xsc::bench {
namespace {

struct ScanData {
    std::vector<std::uint8_t> map;
    mapgen::MapLayout layout;
};

ScanData& Data() {
    static ScanData data = [] {
        ScanData d;
        d.map = mapgen::GenerateMap(BenchMapOptions(), &d.layout);
        return d;
    }();
    return data;
}

// Rates are per CPU second of the one thread: the scan is pure computation over memory.
// Arg: the growth. With a growth the words in range change on every pass; the scan's cost does
// not depend on the values, so the passes stay comparable.
void BM_ScanWords(benchmark::State& state) {
    ScanData& data = Data();
    const auto growth = static_cast<std::int32_t>(state.range(0));
    const FixupRange range =
        FixupRange::For(data.layout.stringDataEnd, data.layout.magic, data.layout.fileLength, growth);
    std::uint8_t* begin = data.map.data() + data.layout.scanStart;
    const auto size = static_cast<std::size_t>(data.layout.fileLength - data.layout.scanStart);
    std::size_t corrected = 0;
    for (auto _ : state) {
        corrected = ScanWords(begin, size, range);
        benchmark::DoNotOptimize(corrected);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
    state.counters["corrected"] = static_cast<double>(corrected);
}
BENCHMARK(BM_ScanWords)->Arg(0)->Arg(kTypicalGrowth)->Unit(benchmark::kMillisecond);

// The same scan listing every corrected word, as a report of the fix-up would.
void BM_ScanWordsRecording(benchmark::State& state) {
    ScanData& data = Data();
    const FixupRange range = FixupRange::For(data.layout.stringDataEnd, data.layout.magic, data.layout.fileLength, 0);
    std::uint8_t* begin = data.map.data() + data.layout.scanStart;
    const auto size = static_cast<std::size_t>(data.layout.fileLength - data.layout.scanStart);
    std::vector<CorrectedWord> corrected;
    for (auto _ : state) {
        corrected.clear();
        ScanWords(begin, size, range, data.layout.scanStart, &corrected);
        benchmark::DoNotOptimize(corrected.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
    state.counters["corrected"] = static_cast<double>(corrected.size());
}
BENCHMARK(BM_ScanWordsRecording)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace xsc::bench
