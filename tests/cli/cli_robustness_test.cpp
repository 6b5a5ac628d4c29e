// Inputs a user may point xsc at by mistake: each ends with an error and a non-zero exit status.

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

// A script that is a folder, a map that is a named pipe (opening it would wait for a writer), an
// empty -o (not an in-place compile).
TEST(CliRobustness, MistakenInputsEndWithAClearErrorAndAnUnchangedMap) {
    test::TempDir dir;
    const std::string map = (dir / "level.map").string(), pipe = (dir / "pipe.map").string();
    mapgen::WriteMap(map, test::SmallMap(4));
    const test::Bytes before = test::ReadBytes(map);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const struct {
        std::vector<std::string> args;
        int code;
        std::string error;
    } cases[] = {
        {{"compile", map, dir.Path().string()}, 1, "xsc: error: cannot read the script " + dir.Path().string() + ": Is a directory\n"},
        {{"info", pipe}, 1, "xsc: error: " + pipe + ": not a regular file\n"},
        {{"compile", pipe, "-"}, 1, "xsc: error: " + pipe + ": not a regular file\n"},
        {{"compile", map, "-", "-o", ""}, 2, "xsc: error: --output: must not be empty\nRun 'xsc --help' for usage.\n"},
    };
    for (const auto& c : cases) {
        std::string err;
        EXPECT_EQ(Xsc(c.args, err, "<s/>"), c.code) << c.args[0];
        EXPECT_EQ(err, c.error);
        EXPECT_TRUE(test::ReadBytes(map) == before);
    }
}

}  // namespace
}  // namespace xsc
