// Decompiling every script and global of a map whose script data the game's official tools laid
// out (the generator's official layout), with the node data at the engine's limit of 19,001
// slots: the script data and the map's names read from the file, then the XML document, or the
// source text with its verification (the text compiled again and compared up to layout).

#include <benchmark/benchmark.h>

#include <filesystem>

#include "compile/DecompileSource.h"
#include "engine/EngineLimits.h"
#include "map/HaloPcMap.h"
#include "mapgen/MapGenerator.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/Error.h"
#include "scriptdata/ReadScriptData.h"
#include "xml/Decompile.h"

namespace xsc::bench {
namespace {

struct OfficialMap {
    std::filesystem::path path;
    std::int32_t scripts = 0;
    std::int64_t slots = 0;  // slots the scripts take, free ones included
};

// As many generated scripts as the node data holds: fewer and fewer until they fit.
const OfficialMap& Map() {
    static const OfficialMap map = [] {
        OfficialMap m;
        m.path = std::filesystem::temp_directory_path() / "xsc-official-decompile-bench.map";
        mapgen::MapOptions options;
        options.seed = 2024;
        options.names = true;
        options.tagCount = 40;
        options.slotCapacity = static_cast<std::int32_t>(engine::kEngineSlotLimit);
        for (m.scripts = 600; m.scripts > 0; m.scripts -= 2) {
            options.officialScripts = m.scripts;
            try {
                mapgen::WriteMap(m.path, options);
                break;
            } catch (const Error&) {
            }
        }
        HaloPcMap loaded;
        loaded.LoadMap(m.path);
        m.slots = ReadScriptData(loaded).slotCount;
        return m;
    }();
    return map;
}

template <bool Source>
void BM_DecompileOfficial(benchmark::State& state) {
    const OfficialMap& m = Map();
    HaloPcMap map;
    map.LoadMap(m.path);
    std::size_t length = 0;
    for (auto _ : state) {
        const CompiledScriptData data = ReadScriptData(map);
        const MapNames names = MapNames::Read(map);
        const NameResolver resolver(names);
        const std::string text = Source ? DecompileToSource(data, engine::EngineBuild::Custom, &resolver) : Decompile(data, &resolver);
        length = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["scripts"] = m.scripts;
    state.counters["slots"] = static_cast<double>(m.slots);
    state.counters["bytes_out"] = static_cast<double>(length);
}
BENCHMARK_TEMPLATE(BM_DecompileOfficial, false)->Name("BM_DecompileOfficialXml")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_DecompileOfficial, true)->Name("BM_DecompileOfficialSource")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace xsc::bench
