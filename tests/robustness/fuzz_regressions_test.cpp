// Replays, through the same check the fuzz targets run, every input with which a fuzz target
// once found a fault (tests/robustness/regressions/<target>/) and the committed seeds of the fuzz
// targets (fuzz/corpus/<target>/): each must end with xsc::Error and an unchanged file, or with
// the reference result. The seeds' outcomes are known from how they were made.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "FuzzEntries.h"

namespace xsc::robust {
namespace {

namespace fs = std::filesystem;

const fs::path kRegressions = fs::path(__FILE__).parent_path() / "regressions";
const fs::path kSeeds = fs::path(__FILE__).parent_path().parent_path().parent_path() / "fuzz" / "corpus";

using Run = Verdict (*)(const std::uint8_t*, std::size_t);

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Runs every input of the folder; returns the verdict kind per file name.
std::map<std::string, Verdict::Kind> Replay(const fs::path& folder, Run run) {
    EXPECT_TRUE(fs::is_directory(folder)) << folder;
    std::map<std::string, Verdict::Kind> kinds;
    if (!fs::is_directory(folder)) return kinds;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || name.front() == '.') continue;
        const Bytes input = ReadFile(entry.path());
        const Verdict verdict = run(input.data(), input.size());
        EXPECT_FALSE(verdict.Violated()) << entry.path() << ": " << verdict.message;
        kinds[name] = verdict.kind;
    }
    return kinds;
}

constexpr auto kAccepted = Verdict::Kind::Accepted;
constexpr auto kRefused = Verdict::Kind::Refused;

TEST(FuzzRegressions, FoundFaultsStayFixed) {
    Replay(kRegressions / "load_map", RunLoadMapInput);
    Replay(kRegressions / "compile_xml", RunCompileXmlInput);
    Replay(kRegressions / "compile_map", RunCompileMapInput);
}

TEST(FuzzSeeds, MapsLoadAndTheFixedScriptFitsAllButTheShortOne) {
    const auto loads = Replay(kSeeds / "load_map", RunLoadMapInput);
    ASSERT_EQ(loads.size(), 8u);
    for (const auto& [name, kind] : loads) EXPECT_EQ(kind, kAccepted) << name;

    // The fixed script needs 18 slots; one map has 17, and a scenario alone has no tag 1.
    const auto compiles = Replay(kSeeds / "compile_map", RunCompileMapInput);
    ASSERT_EQ(compiles.size(), 8u);
    for (const auto& [name, kind] : compiles) {
        const bool refused = name == "one-slot-short.map" || name == "scenario-only.map";
        EXPECT_EQ(kind, refused ? kRefused : kAccepted) << name;
    }
}

TEST(FuzzSeeds, ScriptsCompileExceptTheOnesMadeToBeRefused) {
    const auto compiles = Replay(kSeeds / "compile_xml", RunCompileXmlInput);
    ASSERT_EQ(compiles.size(), 9u);
    for (const auto& [name, kind] : compiles) {
        const bool refused = name == "refused-text.xml" || name == "doctype.xml";
        EXPECT_EQ(kind, refused ? kRefused : kAccepted) << name;
    }
}

}  // namespace
}  // namespace xsc::robust
