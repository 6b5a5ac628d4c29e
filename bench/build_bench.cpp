// The build phase alone (XML parse and XmlBuild into node slots and strings), for scripts of
// 1k to 100k nodes, to show it scales linearly with the script's size. A real build stops at
// slot 7309; this measures the compiler's work, not a map's limit.

#include <benchmark/benchmark.h>

#include <string>

#include "xml/ScriptIndex.h"
#include "xml/XmlBuild.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/ScriptCompilier.h"

namespace {

// A script of about `nodes` nodes: statements of a call with one short argument (3 nodes each).
std::string ScriptOfNodes(int nodes) {
    std::string xml = "<scripts><script NameAttr='bench' TypeAttr='2' ReTypeAttr='4'>";
    for (int i = 0; i < nodes / 3; ++i) {
        xml += "<ScriptCommand Command='sleep' EngineId='22' ValueType='4'><ScriptValue ValueType='7' Value='";
        xml += std::to_string(i % 1000);
        xml += "'/></ScriptCommand>";
    }
    xml += "</script></scripts>";
    return xml;
}

void BM_ParseAndXmlBuild(benchmark::State& state) {
    const std::string xml = ScriptOfNodes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const xsc::XmlDocument document = xsc::XmlDocument::LoadXml(xml);
        xsc::ScriptCompilier compiler;
        compiler.ResetForBuild();
        compiler.AppendString("begin");
        const std::int32_t next = xsc::XmlBuild(compiler, document.DocumentElement()->Child(0), compiler.CurrentSyntaxNumber,
                                                  xsc::ScriptIndex::OfDocument(*document.DocumentElement()));
        benchmark::DoNotOptimize(next);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseAndXmlBuild)->RangeMultiplier(2)->Range(1024, 131072)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

}  // namespace
