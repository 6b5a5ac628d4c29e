// fuzz_seed_maps FOLDER: writes the generated seed maps of the map fuzz targets, small maps
// (a few KB) that vary in every way the loader and the compile tell apart: header kind and
// letter case, Magic's sign, tag count, room in the node data (the fixed script needs 18 slots),
// an empty scenario tail, no or dense addresses in the tag data, the scenario's named blocks.
//
// fuzz_seed_maps --compiled FOLDER: writes the seeds of fuzz_decompile, small maps with scripts
// compiled into them: every value encoding and texts to escape, deep nesting, scripts without
// statements, a document without scripts, a map never compiled into, names of the map's things,
// and script data laid out as the game's official tools lay it out.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzEntries.h"
#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "compile/BuildScriptData.h"
#include "scriptdata/ScriptCompilier.h"

namespace {

using xsc::mapgen::MapOptions;
using xsc::robust::TinyMap;

// `options` with `change` applied.
template <typename Change>
MapOptions With(MapOptions options, Change change) {
    change(options);
    return options;
}

struct Seed {
    const char* name;
    MapOptions options;
};

std::vector<Seed> Seeds() {
    return {
        {"daeh", TinyMap(1, true)},
        {"alternate", TinyMap(2, false)},
        {"upper-case-daeh", With(TinyMap(3, true), [](MapOptions& o) { o.headerCode = "DAEH"; })},
        {"negative-magic", With(TinyMap(4, true), [](MapOptions& o) { o.mapMagic = 0x40; })},
        {"two-tags-no-tail", With(TinyMap(5, false), [](MapOptions& o) { o.tagCount = 2; o.scenarioTailSize = 0; })},
        {"exactly-enough-slots", With(TinyMap(6, true), [](MapOptions& o) { o.slotCapacity = 18; o.addressEvery = 2; })},
        {"one-slot-short", With(TinyMap(7, true), [](MapOptions& o) { o.slotCapacity = 17; o.addressEvery = 0; })},
        {"scenario-only", With(TinyMap(8, true), [](MapOptions& o) { o.tagCount = 1; o.tagDataSize = 0; })},
        {"names", xsc::robust::TinyNamedMap(9, true)},
    };
}

struct CompiledSeed {
    const char* name;
    MapOptions options;
    const char* script;  // nullptr: nothing compiled
};

std::vector<CompiledSeed> CompiledSeeds() {
    const auto roomy = [](MapOptions& o) { o.slotCapacity = 48; };
    const auto official = [](std::int32_t scripts) {
        return [scripts](MapOptions& o) {
            o.slotCapacity = 200;
            o.officialScripts = scripts;
            o.engineValue = 609;
        };
    };
    return {
        {"fixed-script", TinyMap(11, true), xsc::robust::kFixedScript.data()},
        {"every-value", With(TinyMap(12, false), roomy),
         "<scripts><s NameAttr='t&#9;&quot;&#233;' TypeAttr='2' ReTypeAttr='-1'>"
         "<ScriptCommand Command='a&amp;b&#10;' EngineId='-3' ValueType='40000'>"
         "<ScriptValue ValueType='5' Value='TRUE'/><ScriptValue ValueType='5' Value='no'/>"
         "<ScriptValue ValueType='6' Value='2147483647'/><ScriptValue ValueType='7' Value='-2'/>"
         "<ScriptValue ValueType='8' Value='-1'/><ScriptValue ValueType='65542' Value='&lt;&#13;'/>"
         "<GlobalValue ValueType='5' Value='-255' ValueCommand='g'/><GlobalValue ValueType='7' Value='9'/>"
         "<GlobalValue ValueType='65544' Value='1' ValueCommand='wide'/></ScriptCommand></s></scripts>"},
        {"nested", With(TinyMap(13, true), [&](MapOptions& o) { roomy(o); o.mapMagic = 0x40; }),
         "<scripts><s NameAttr='deep'><ScriptCommand Command='a'><ScriptCommand Command='b'><ScriptCommand Command='c'>"
         "<ScriptCommand Command='d'><ScriptValue ValueType='9' Value='leaf'/></ScriptCommand></ScriptCommand>"
         "<ScriptValue ValueType='8' Value='7'/></ScriptCommand></ScriptCommand><ScriptCommand Command='e'/></s></scripts>"},
        {"scripts-without-statements", TinyMap(14, false), "<scripts><a NameAttr='x'/><b NameAttr='' TypeAttr='4'/></scripts>"},
        {"no-scripts", TinyMap(15, true), "<scripts/>"},
        {"never-compiled", TinyMap(16, true), nullptr},
        {"names", xsc::robust::TinyNamedMap(17, true),
         "<scripts><s NameAttr='n'><ScriptCommand Command='camera_set' EngineId='247' ValueType='4'>"
         "<ScriptValue ValueType='13' Value='point_2'/><ScriptValue ValueType='7' Value='0'/></ScriptCommand>"
         "<ScriptValue ValueType='17' Value='enc_marines/escort'/><ScriptValue ValueType='24' Value='sound\\sfx\\alarm'/>"
         "<ScriptValue ValueType='33' Value='covenant'/><ScriptValue ValueType='38' Value='marine_sarge'/></s></scripts>"},
        // Script data laid out as the game's official tools lay it out, as xsc-mkmap --names
        // --official-scripts writes it (mapgen/OfficialScripts.h): nothing compiled by xsc.
        {"official", With(xsc::robust::TinyNamedMap(18, true), official(3)), nullptr},
        {"official-one-statement", With(xsc::robust::TinyNamedMap(19, true), [&](MapOptions& o) {
             official(0)(o);
             o.officialSource = "(global short g 4)\n(script static void s (sleep g))\n(script startup t (s) (wake s))\n";
         }), nullptr},
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
