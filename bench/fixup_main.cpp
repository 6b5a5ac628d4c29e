// xsc-fixup MAP SCAN_START INSERTION_POINT GROWTH: loads the map and runs the address fix-up once,
// so that scripts/bench-fixup can time a whole process against reading the same bytes.
// Numbers are decimal or 0x hex. Prints how many addresses were corrected and how long the load
// and the fix-up took.

#include <chrono>
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
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        xsc::HaloPcMap map;
        map.LoadMap(std::filesystem::path(argv[1]));
        const auto loaded = Clock::now();
        const xsc::FixupReport report = map.UpdateFromPoint(scanStart, insertionPoint, growth);
        const auto fixed = Clock::now();
        const auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
        std::printf("%s: %zu index addresses and %zu words corrected; load %.1f ms, fix-up %.1f ms\n", argv[1],
                    report.indexAddressesCorrected, report.wordsCorrected, ms(loaded - start), ms(fixed - loaded));
    } catch (const xsc::Error& e) {
        std::fprintf(stderr, "xsc-fixup: error: %s\n", e.what());
        return 1;
    }
    return 0;
}
