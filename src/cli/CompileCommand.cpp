#include "CompileCommand.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>

#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/BuildScriptData.h"
#include "scriptdata/ScriptCompilier.h"

namespace xsc::cli {
namespace {

std::string ReadScript(const std::string& script, std::istream& in) {
    if (script == "-") return std::string(std::istreambuf_iterator<char>(in), {});
    std::ifstream file(script, std::ios::binary);
    if (!file) throw Error("cannot read the script " + script + ": " + std::strerror(errno));
    // A folder opens, but reading it fails (the stream then throws rather than ending).
    try {
        return std::string(std::istreambuf_iterator<char>(file), {});
    } catch (const std::ios_base::failure&) {
        throw Error("cannot read the script " + script + ": " + std::strerror(errno));
    }
}

float AsFloat(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void PrintFixups(const CompileSummary& summary, std::ostream& out) {
    out << "corrected words (file offset after the move, old -> new, old read as a float):\n";
    char line[128];
    for (const CorrectedWord& w : summary.fixups) {
        std::snprintf(line, sizeof line, "  0x%08llx  0x%08x -> 0x%08x  (%g)\n",
                      static_cast<unsigned long long>(w.fileOffset), w.oldValue, w.newValue,
                      static_cast<double>(AsFloat(w.oldValue)));
        out << line;
    }
}

}  // namespace

void RunCompile(const CompileArgs& args, std::istream& in, std::ostream& out) {
    const XmlDocument document = XmlDocument::LoadXml(ReadScript(args.script, in));
    HaloPcMap map;
    map.LoadMap(args.map);
    ScriptCompilier state;
    CompileOptions options;
    options.output = args.output;
    options.recordFixups = args.listFixups;
    const CompileSummary summary = BuildScriptData(map, document, state, options);

    const std::filesystem::path& written = args.output ? *args.output : args.map;
    out << "compiled " << summary.scripts << (summary.scripts == 1 ? " script" : " scripts") << " into "
        << written.string() << ": " << summary.slots << " node slots, " << summary.stringBytes
        << " string bytes, grew by " << summary.growth << " bytes, "
        << summary.wordsCorrected + summary.indexAddressesCorrected + summary.scenarioAddressesCorrected
        << " words corrected (" << summary.indexAddressesCorrected << " in the tag index";
    if (summary.scenarioAddressesCorrected != 0) out << ", " << summary.scenarioAddressesCorrected << " in the scenario";
    out << ")\n";
    if (args.listFixups) PrintFixups(summary, out);
}

}  // namespace xsc::cli
