// Inputs a user may point xsc at by mistake: each ends with one error line and exit status 1.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "Cli.h"
#include "mapgen/MapGenerator.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

int Xsc(std::vector<std::string> args, std::string& err, const std::string& input = "") {
    args.insert(args.begin(), "xsc");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream errors;
    const int code = cli::RunXsc(static_cast<int>(argv.size()), argv.data(), in, out, errors);
    err = errors.str();
    return code;
}

TEST(CliRobustness, ScriptThatIsAFolder) {
    test::TempDir dir;
    const auto map = dir / "level.map";
    mapgen::WriteMap(map, test::SmallMap(4));
    const test::Bytes before = test::ReadBytes(map);
    std::string err;
    EXPECT_EQ(Xsc({"compile", map.string(), dir.Path().string()}, err), 1);
    EXPECT_EQ(err, "xsc: error: cannot read the script " + dir.Path().string() + ": Is a directory\n");
    EXPECT_TRUE(test::ReadBytes(map) == before);
}

TEST(CliRobustness, MapThatIsANamedPipe) {
    // Opening a pipe for reading waits for a writer; the map must be refused instead.
    test::TempDir dir;
    const auto pipe = dir / "level.map";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::string err;
    EXPECT_EQ(Xsc({"info", pipe.string()}, err), 1);
    EXPECT_EQ(err, "xsc: error: " + pipe.string() + ": not a regular file\n");
    EXPECT_EQ(Xsc({"compile", pipe.string(), "-"}, err, "<s/>"), 1);
    EXPECT_EQ(err, "xsc: error: " + pipe.string() + ": not a regular file\n");
}

TEST(CliRobustness, EmptyOutputNameIsAUsageErrorNotAnInPlaceCompile) {
    test::TempDir dir;
    const auto map = dir / "level.map";
    mapgen::WriteMap(map, test::SmallMap(4));
    const test::Bytes before = test::ReadBytes(map);
    std::string err;
    EXPECT_EQ(Xsc({"compile", map.string(), "-", "-o", ""}, err, "<s/>"), 2);
    EXPECT_NE(err.find("must not be empty"), std::string::npos) << err;
    EXPECT_TRUE(test::ReadBytes(map) == before);
}

}  // namespace
}  // namespace xsc
