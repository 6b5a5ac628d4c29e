// Replays every input with which a fuzz target once found a fault (tests/robustness/regressions/
// <target>/), through the same check the fuzz target runs: each must now end with xsc::Error and
// an unchanged file, or with the reference result.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "FuzzEntries.h"

namespace xsc::robust {
namespace {

namespace fs = std::filesystem;

const fs::path kRegressions = fs::path(__FILE__).parent_path() / "regressions";

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Replays the folder's inputs; returns how many there were.
std::size_t Replay(const char* target, Verdict (*run)(const std::uint8_t*, std::size_t)) {
    const fs::path folder = kRegressions / target;
    EXPECT_TRUE(fs::is_directory(folder)) << folder;
    std::size_t count = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().filename().string().front() == '.') continue;
        const Bytes input = ReadFile(entry.path());
        const Verdict verdict = run(input.data(), input.size());
        EXPECT_FALSE(verdict.Violated()) << entry.path() << ": " << verdict.message;
        ++count;
    }
    return count;
}

TEST(FuzzRegressions, LoadMap) { Replay("load_map", RunLoadMapInput); }
TEST(FuzzRegressions, CompileXml) { Replay("compile_xml", RunCompileXmlInput); }
TEST(FuzzRegressions, CompileMap) { Replay("compile_map", RunCompileMapInput); }

}  // namespace
}  // namespace xsc::robust
