// The check of a campaign-sized program (8,000 lines, 120 globals). The source language at the
// engine's node limit: a program of 19,001 node slots (about 5,000
// lines in the usual layout) read, checked and compiled in memory, and the compiled scripts
// decompiled back into source (which includes compiling that source again to verify it). The
// same program as XML, read and built, for comparison.
//
//   build/release/bench/xsc_bench --benchmark_filter=Source

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SourceProgram.h"
#include "compile/BuildPhase.h"
#include "compile/ConvertScript.h"
#include "compile/DecompileSource.h"
#include "compile/ScriptCheck.h"
#include "scriptdata/ScriptCompilier.h"

namespace {

const std::string& Program() {
    static const std::string program = xsc::bench::ProgramAtTheNodeLimit();
    return program;
}

xsc::CheckedScript Checked(const std::string& text) {
    return xsc::CheckScriptText(text, xsc::ScriptLanguage::Source, {});
}

void BM_SourceReadCheckCompile(benchmark::State& state) {
    const std::string& text = Program();
    std::int64_t slots = 0;
    for (auto _ : state) {
        const xsc::CheckedScript checked = Checked(text);
        if (!checked.document) {
            state.SkipWithError("the program does not check");
            return;
        }
        xsc::ScriptCompilier compiler;
        slots = xsc::BuildPhase(compiler, *checked.document).slots;
    }
    state.counters["slots"] = static_cast<double>(slots);
    state.counters["lines"] = static_cast<double>(std::count(text.begin(), text.end(), '\n'));
}
BENCHMARK(BM_SourceReadCheckCompile)->Unit(benchmark::kMillisecond);

// The check of a program the size of the largest campaign script (8,000 lines, globals first).
void BM_SourceCheckCampaignSized(benchmark::State& state) {
    const std::string text = xsc::bench::CampaignSizedProgram(8000);
    std::size_t diagnostics = 0;
    for (auto _ : state) {
        const xsc::CheckedScript checked = Checked(text);
        if (!checked.document) {
            state.SkipWithError("the program does not check");
            return;
        }
        diagnostics = checked.diagnostics.size();
    }
    state.counters["lines"] = static_cast<double>(std::count(text.begin(), text.end(), '\n'));
    state.counters["diagnostics"] = static_cast<double>(diagnostics);
}
BENCHMARK(BM_SourceCheckCampaignSized)->Unit(benchmark::kMillisecond);

void BM_SourceDecompile(benchmark::State& state) {
    xsc::ScriptCompilier compiler;
    const xsc::BuiltScripts built = xsc::BuildPhase(compiler, *Checked(Program()).document);
    const xsc::CompiledScriptData data = xsc::BuiltScriptData(compiler, built);
    std::size_t bytes = 0;
    for (auto _ : state) bytes = xsc::DecompileToSource(data, xsc::engine::EngineBuild::Custom).size();
    state.counters["source_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SourceDecompile)->Unit(benchmark::kMillisecond);

void BM_SourceAsXmlReadAndBuild(benchmark::State& state) {
    const std::string xml = xsc::ConvertToXml(*Checked(Program()).document, xsc::engine::EngineBuild::Custom);
    for (auto _ : state) {
        const xsc::XmlDocument document = xsc::XmlDocument::LoadXml(xml);
        xsc::ScriptCompilier compiler;
        benchmark::DoNotOptimize(xsc::BuildPhase(compiler, document).slots);
    }
}
BENCHMARK(BM_SourceAsXmlReadAndBuild)->Unit(benchmark::kMillisecond);

}  // namespace
