// fuzz_seed_maps FOLDER: writes the generated seed maps of the map fuzz targets, small maps
// (a few KB) that vary in every way the loader and the compile tell apart: header kind and
// letter case, Magic's sign, tag count, room in the node data (the fixed script needs 18 slots),
// an empty scenario tail, no or dense addresses in the tag data.
//
// fuzz_seed_maps --compiled FOLDER: writes the seeds of fuzz_decompile, small maps with scripts
// compiled into them: every value encoding and texts to escape, deep nesting, scripts without
// statements, a document without scripts, and a map never compiled into.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzEntries.h"
#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/BuildScriptData.h"
#include "scriptdata/ScriptCompilier.h"

namespace {

struct Seed {
    const char* name;
    xsc::mapgen::MapOptions options;
};

std::vector<Seed> Seeds() {
    using xsc::robust::TinyMap;
    std::vector<Seed> seeds;
    seeds.push_back({"daeh", TinyMap(1, true)});
    seeds.push_back({"alternate", TinyMap(2, false)});
    auto upper = TinyMap(3, true);
    upper.headerCode = "DAEH";
    seeds.push_back({"upper-case-daeh", upper});
    auto negative = TinyMap(4, true);
    negative.mapMagic = 0x40;
    seeds.push_back({"negative-magic", negative});
    auto two = TinyMap(5, false);
    two.tagCount = 2;
    two.scenarioTailSize = 0;
    seeds.push_back({"two-tags-no-tail", two});
    auto full = TinyMap(6, true);
    full.slotCapacity = 18;
    full.addressEvery = 2;
    seeds.push_back({"exactly-enough-slots", full});
    auto tooSmall = TinyMap(7, true);
    tooSmall.slotCapacity = 17;
    tooSmall.addressEvery = 0;
    seeds.push_back({"one-slot-short", tooSmall});
    auto one = TinyMap(8, true);
    one.tagCount = 1;
    one.tagDataSize = 0;
    seeds.push_back({"scenario-only", one});
    return seeds;
}

struct CompiledSeed {
    const char* name;
    xsc::mapgen::MapOptions options;
    const char* script;  // nullptr: nothing compiled
};

std::vector<CompiledSeed> CompiledSeeds() {
    using xsc::robust::TinyMap;
    auto roomy = [](std::uint64_t seed, bool daeh) {
        auto options = TinyMap(seed, daeh);
        options.slotCapacity = 48;
        return options;
    };
    auto negative = roomy(13, true);
    negative.mapMagic = 0x40;
    return {
        {"fixed-script", TinyMap(11, true), xsc::robust::kFixedScript.data()},
        {"every-value", roomy(12, false),
         "<scripts><s NameAttr='t&#9;&quot;&#233;' TypeAttr='2' ReTypeAttr='-1'>"
         "<ScriptCommand Command='a&amp;b&#10;' EngineId='-3' ValueType='40000'>"
         "<ScriptValue ValueType='5' Value='TRUE'/><ScriptValue ValueType='5' Value='no'/>"
         "<ScriptValue ValueType='6' Value='2147483647'/><ScriptValue ValueType='7' Value='-2'/>"
         "<ScriptValue ValueType='8' Value='-1'/><ScriptValue ValueType='65542' Value='&lt;&#13;'/>"
         "<GlobalValue ValueType='5' Value='-255' ValueCommand='g'/><GlobalValue ValueType='7' Value='9'/>"
         "<GlobalValue ValueType='65544' Value='1' ValueCommand='wide'/></ScriptCommand></s></scripts>"},
        {"nested", negative,
         "<scripts><s NameAttr='deep'><ScriptCommand Command='a'><ScriptCommand Command='b'><ScriptCommand Command='c'>"
         "<ScriptCommand Command='d'><ScriptValue ValueType='9' Value='leaf'/></ScriptCommand></ScriptCommand>"
         "<ScriptValue ValueType='8' Value='7'/></ScriptCommand></ScriptCommand><ScriptCommand Command='e'/></s></scripts>"},
        {"scripts-without-statements", TinyMap(14, false), "<scripts><a NameAttr='x'/><b NameAttr='' TypeAttr='4'/></scripts>"},
        {"no-scripts", TinyMap(15, true), "<scripts/>"},
        {"never-compiled", TinyMap(16, true), nullptr},
    };
}

void WriteCompiledSeed(const std::filesystem::path& path, const CompiledSeed& seed) {
    xsc::mapgen::WriteMap(path, seed.options);
    if (seed.script == nullptr) return;
    xsc::HaloPcMap map;
    map.LoadMap(path);
    xsc::ScriptCompilier state;
    xsc::BuildScriptData(map, xsc::XmlDocument::LoadXml(seed.script), state, {});
}

}  // namespace

int main(int argc, char** argv) {
    const bool compiled = argc == 3 && std::string(argv[1]) == "--compiled";
    if (argc != 2 && !compiled) {
        std::fprintf(stderr, "usage: fuzz_seed_maps [--compiled] FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[argc - 1];
    try {
        std::filesystem::create_directories(folder);
        if (compiled) {
            for (const CompiledSeed& seed : CompiledSeeds()) {
                const auto path = folder / (std::string(seed.name) + ".map");
                WriteCompiledSeed(path, seed);
                std::printf("%s: %lld bytes\n", path.filename().c_str(), static_cast<long long>(std::filesystem::file_size(path)));
            }
            return 0;
        }
        for (const Seed& seed : Seeds()) {
            const auto layout = xsc::mapgen::WriteMap(folder / (std::string(seed.name) + ".map"), seed.options);
            std::printf("%s.map: %lld bytes\n", seed.name, static_cast<long long>(layout.fileLength));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fuzz_seed_maps: %s\n", e.what());
        return 1;
    }
    return 0;
}
