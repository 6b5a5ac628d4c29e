// xsc-fixup MAP SCAN_START INSERTION_POINT GROWTH: loads the map and runs the address fix-up once,
// so that scripts/bench-fixup can time a whole process against reading the same bytes.
// Numbers are decimal or 0x hex. Prints how many addresses were corrected.

#include <cstdio>
#include <string>

#include "map/HaloPcMap.h"
#include "mapgen/NumberText.h"
#include "runtime/Error.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: xsc-fixup MAP SCAN_START INSERTION_POINT GROWTH\n");
        return 2;
    }
    try {
        const std::int32_t scanStart = xsc::mapgen::ParseInt32(argv[2]);
        const std::int32_t insertionPoint = xsc::mapgen::ParseInt32(argv[3]);
        const std::int32_t growth = xsc::mapgen::ParseInt32(argv[4]);
        xsc::HaloPcMap map;
        map.LoadMap(std::filesystem::path(argv[1]));
        const xsc::FixupReport report = map.UpdateFromPoint(scanStart, insertionPoint, growth);
        std::printf("%s: %zu index addresses and %zu words corrected\n", argv[1], report.indexAddressesCorrected,
                    report.wordsCorrected);
    } catch (const xsc::Error& e) {
        std::fprintf(stderr, "xsc-fixup: error: %s\n", e.what());
        return 1;
    }
    return 0;
}
