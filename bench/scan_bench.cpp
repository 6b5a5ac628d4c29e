// The word scan over ~100 MB of realistic tag data in memory: the fix-up's inner loop alone.

#include <benchmark/benchmark.h>

#include <vector>

#include "BenchMaps.h"
#include "map/UpdateFromPoint.h"

namespace xsc::bench {
namespace {

struct ScanData {
    std::vector<std::uint8_t> map;
    mapgen::MapLayout layout;
};

ScanData& Data() {
    static ScanData data = [] {
        ScanData d;
        d.map = mapgen::GenerateMap(BenchMapOptions(64 * 1024, 100 * 1024 * 1024), &d.layout);
        return d;
    }();
    return data;
}

AddressFixup FixupFor(const ScanData& data, std::int32_t growth) {
    return AddressFixup(data.layout.magic, data.layout.scanStart, data.layout.stringDataEnd, growth,
                        data.layout.fileLength);
}

// Rates are per CPU second of the one thread: the scan is pure computation over memory.
// Arg: the growth. With a growth the words in range change on every pass; the scan's cost does
// not depend on the values, so the passes stay comparable.
void BM_ScanWords(benchmark::State& state) {
    ScanData& data = Data();
    const AddressFixup fixup = FixupFor(data, static_cast<std::int32_t>(state.range(0)));
    std::uint8_t* begin = data.map.data() + data.layout.scanStart;
    const auto size = static_cast<std::size_t>(data.layout.fileLength - data.layout.scanStart);
    std::size_t corrected = 0;
    for (auto _ : state) {
        corrected = fixup.ScanWords(begin, size, data.layout.scanStart);
        benchmark::DoNotOptimize(corrected);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
    state.counters["corrected"] = static_cast<double>(corrected);
    state.counters["hit%"] = 100.0 * static_cast<double>(corrected) / static_cast<double>(size / 4);
}
BENCHMARK(BM_ScanWords)->Arg(0)->Arg(kTypicalGrowth)->Unit(benchmark::kMillisecond);

// The same scan listing every corrected word, as `xsc compile --fixups` does.
void BM_ScanWordsListing(benchmark::State& state) {
    ScanData& data = Data();
    const AddressFixup fixup = FixupFor(data, 0);
    std::uint8_t* begin = data.map.data() + data.layout.scanStart;
    const auto size = static_cast<std::size_t>(data.layout.fileLength - data.layout.scanStart);
    std::vector<CorrectedWord> corrected;
    for (auto _ : state) {
        corrected.clear();
        fixup.ScanWords(begin, size, data.layout.scanStart, &corrected);
        benchmark::DoNotOptimize(corrected.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
    state.counters["corrected"] = static_cast<double>(corrected.size());
}
BENCHMARK(BM_ScanWordsListing)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace xsc::bench
