// Whole compiles of a small script into generated maps shaped like real ones: a head of raw data,
// then 20 MB of realistic tag data behind the scenario. Load, build, the streamed move with its
// fix-up, and the flush to disk, in place and with an output file. Wall time (the disk counts).

#include <benchmark/benchmark.h>

#include <filesystem>

#include "BenchMaps.h"
#include "map/HaloPcMap.h"
#include "runtime/BinaryStream.h"
#include "runtime/XmlDocument.h"
#include "compile/BuildScriptData.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc::bench {
namespace {

constexpr std::int64_t kTail = 20 * 1024 * 1024;
constexpr const char* kScript =
    "<scripts><s NameAttr='bench' TypeAttr='2' ReTypeAttr='4'>"
    "<ScriptCommand Command='sleep' EngineId='22' ValueType='4'><ScriptValue ValueType='7' Value='30'/></ScriptCommand>"
    "</s></scripts>";

std::filesystem::path BenchFolder() {
    const auto folder = std::filesystem::temp_directory_path() / "xsc-compile-bench";
    std::filesystem::create_directories(folder);
    return folder;
}

// The pristine map for a head size, generated once per run.
std::filesystem::path PristineMap(std::int64_t headMb) {
    const auto path = BenchFolder() / ("head" + std::to_string(headMb) + ".map");
    if (!std::filesystem::exists(path)) mapgen::WriteMap(path, BenchMapOptions(headMb * 1024 * 1024, kTail));
    return path;
}

// Puts the pristine bytes back and flushes them, so that each compile starts from the same map
// and its own flush writes only what it changed.
void Restore(const std::filesystem::path& pristine, const std::filesystem::path& work) {
    std::filesystem::copy_file(pristine, work, std::filesystem::copy_options::overwrite_existing);
    BinaryStream file = BinaryStream::OpenAsBinaryFile(work, BinaryStream::Mode::ReadWrite);
    file.Flush();
}

// Arg: the head size in MB.
void BM_CompileInPlace(benchmark::State& state) {
    const auto pristine = PristineMap(state.range(0));
    const auto work = BenchFolder() / "work.map";
    const XmlDocument document = XmlDocument::LoadXml(kScript);
    for (auto _ : state) {
        state.PauseTiming();
        Restore(pristine, work);
        state.ResumeTiming();
        HaloPcMap map;
        map.LoadMap(work);
        ScriptCompilier compiler;
        benchmark::DoNotOptimize(BuildScriptData(map, document, compiler).wordsCorrected);
    }
    state.SetBytesProcessed(state.iterations() * kTail);
}
BENCHMARK(BM_CompileInPlace)->Arg(12)->Arg(108)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_CompileToOutput(benchmark::State& state) {
    const auto pristine = PristineMap(state.range(0));
    const auto output = BenchFolder() / "out.map";
    const XmlDocument document = XmlDocument::LoadXml(kScript);
    for (auto _ : state) {
        HaloPcMap map;
        map.LoadMap(pristine);
        ScriptCompilier compiler;
        benchmark::DoNotOptimize(BuildScriptData(map, document, compiler, {output, false}).wordsCorrected);
    }
}
BENCHMARK(BM_CompileToOutput)->Arg(12)->Arg(108)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace xsc::bench
