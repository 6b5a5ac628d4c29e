// Replays, through the check the fuzz targets run, every input a fuzz target once found a fault
// with (tests/robustness/regressions/<target>/) and the committed seeds (fuzz/corpus/<target>/):
// none may violate the promise, and each seed ends as it was made to.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "FuzzEntries.h"
#include "support/TestFiles.h"

namespace xsc::robust {
namespace {

namespace fs = std::filesystem;

struct Target {
    const char* name;
    Verdict (*run)(const std::uint8_t*, std::size_t);
    std::size_t seeds;
    std::set<std::string> refusedSeeds;
};

TEST(FuzzReplay, RegressionInputsAndSeedsEndAsTheyShould) {
    const fs::path root = fs::path(__FILE__).parent_path().parent_path().parent_path();
    const Target targets[] = {
        {"load_map", RunLoadMapInput, 9, {}},
        // The fixed script needs 18 slots; one map has 17, and a scenario alone has no tag 1.
        {"compile_map", RunCompileMapInput, 9, {"one-slot-short.map", "scenario-only.map"}},
        {"compile_xml", RunCompileXmlInput, 10, {"refused-text.xml", "doctype.xml"}},
        {"decompile", RunDecompileInput, 9, {}},
        {"decompile_official", RunOfficialNodesInput, 2, {}},
        {"compile_hsc", RunCompileHscInput, 9, {"errors.hsc", "unclosed.hsc"}},
    };
    for (const Target& t : targets) {
        for (const bool seed : {false, true}) {
            const fs::path folder = seed ? root / "fuzz" / "corpus" / t.name : root / "tests" / "robustness" / "regressions" / t.name;
            ASSERT_TRUE(fs::is_directory(folder)) << folder;
            std::size_t count = 0;
            for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
                const std::string name = entry.path().filename().string();
                if (!entry.is_regular_file() || name.front() == '.') continue;
                const test::Bytes input = test::ReadBytes(entry.path());
                const Verdict verdict = t.run(input.data(), input.size());
                EXPECT_FALSE(verdict.Violated()) << entry.path() << ": " << verdict.message;
                const bool refused = t.refusedSeeds.count(name) != 0;
                EXPECT_TRUE(!seed || verdict.kind == (refused ? Verdict::Kind::Refused : Verdict::Kind::Accepted)) << name;
                count += seed;
            }
            EXPECT_TRUE(!seed || count == t.seeds) << folder << ": " << count;
        }
    }
}

}  // namespace
}  // namespace xsc::robust
