// fuzz_seed_maps FOLDER: writes the generated seed maps of the map fuzz targets, small maps
// (a few KB) that vary in every way the loader and the compile tell apart: header kind and
// letter case, Magic's sign, tag count, room in the node data (the fixed script needs 18 slots),
// an empty scenario tail, no or dense addresses in the tag data.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzEntries.h"
#include "runtime/Error.h"

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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seed_maps FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    try {
        std::filesystem::create_directories(folder);
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
