// The xsc command line run in-process: output formats, exit codes and error lines.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

#include <sstream>

#include "Cli.h"
#include "mapgen/MapGenerator.h"
#include "support/CompileFixture.h"

namespace xsc {
namespace {

struct XscRun {
    int code;
    std::string out;
    std::string err;
};

XscRun Xsc(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), "xsc");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int code = cli::RunXsc(static_cast<int>(argv.size()), argv.data(), in, out, err);
    return {code, out.str(), err.str()};
}

const char* kScript =
    "<scripts>\n"
    "  <script NameAttr='hello' ReTypeAttr='4'>\n"
    "    <ScriptCommand Command='print' EngineId='12' ValueType='4'>\n"
    "      <ScriptValue ValueType='10' Value='hi'/>\n"
    "    </ScriptCommand>\n"
    "  </script>\n"
    "</scripts>\n";

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        map = dir / "level.map";
        layout = mapgen::WriteMap(map, test::SmallMap(9));
        script = dir / "hello.xml";
        test::WriteText(script, kScript);
    }
    test::TempDir dir;
    std::filesystem::path map;
    std::filesystem::path script;
    mapgen::MapLayout layout;
};

TEST_F(Cli, InfoJsonDescribesTheMap) {
    const XscRun r = Xsc({"info", map.string(), "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    EXPECT_EQ(o["header"].toString(), "daeh");
    EXPECT_EQ(o["indexOffset"].toInt(), layout.indexOffset);
    EXPECT_EQ(o["mapMagic"].toInt(), layout.mapMagic);
    EXPECT_EQ(o["magic"].toInt(), layout.magic);
    EXPECT_EQ(o["tagOffset"].toInt(), layout.tagOffset);
    EXPECT_EQ(o["tagCount"].toInt(), layout.tagCount);
    const QJsonArray tags = o["tags"].toArray();
    ASSERT_EQ(tags.size(), layout.tagCount);
    EXPECT_EQ(tags[0].toObject()["class1"].toString(), "scnr");
    EXPECT_EQ(tags[1].toObject()["offset"].toInt(), layout.tagDataOffsets[1]);
    EXPECT_EQ(tags[1].toObject()["name"].toString().toStdString(), layout.tagNames[1]);
    EXPECT_EQ(tags[1].toObject()["ident"].toDouble(), static_cast<double>(layout.tagIdents[1]));
    const QJsonObject s = o["scenario"].toObject();
    EXPECT_EQ(s["offset"].toInt(), layout.scenarioOffset);
    EXPECT_EQ(s["nodeDataOffset"].toInt(), layout.nodeDataOffset);
    EXPECT_EQ(s["nodeDataSize"].toInt(), layout.nodeDataSize);
    EXPECT_EQ(s["slotCapacity"].toInt(), 200);
    EXPECT_EQ(s["stringDataSize"].toInt(), 1024);
    EXPECT_EQ(s["stringDataOffset"].toInt(), layout.stringDataOffset);
    EXPECT_EQ(s["scriptCount"].toInt(), 0);
}

TEST_F(Cli, InfoAfterCompileShowsTheNewScriptData) {
    ASSERT_EQ(Xsc({"compile", map.string(), script.string()}).code, 0);
    const XscRun r = Xsc({"info", map.string(), "--json"});
    const QJsonObject s = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object()["scenario"].toObject();
    EXPECT_EQ(s["scriptCount"].toInt(), 1);
    EXPECT_EQ(s["slotCountField"].toInt(), 9);  // 4 fillers + 3 body nodes + 3 - 1
    EXPECT_EQ(s["stringDataSize"].toInt(), 6 + 6 + 3 + 1024);
    EXPECT_EQ(s["scriptRecordsOffset"].toInt(), layout.stringDataOffset + 1024 + 15 + 1);
}

TEST_F(Cli, InfoTableIsAligned) {
    const XscRun r = Xsc({"info", map.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    std::size_t nameColumn = std::string::npos;
    int rows = 0;
    bool inTags = false;
    while (std::getline(lines, line)) {
        if (line.rfind("#", 0) == 0) {
            inTags = true;
            nameColumn = line.find("name");
            continue;
        }
        if (!inTags) continue;
        ++rows;
        const std::string& name = layout.tagNames.at(static_cast<std::size_t>(rows - 1));
        EXPECT_EQ(line.find(name), nameColumn) << line;
    }
    EXPECT_EQ(rows, layout.tagCount);
    EXPECT_NE(r.out.find("slot capacity         200"), std::string::npos) << r.out;
}

TEST_F(Cli, CompilePrintsOneSummaryLine) {
    const XscRun r = Xsc({"compile", map.string(), script.string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.find("compiled 1 script into " + map.string() + ": 10 node slots, 15 string bytes, grew by 108 bytes, "), 0u) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
}

TEST_F(Cli, CompileFromStandardInputWithFixupList) {
    const XscRun r = Xsc({"compile", map.string(), "-", "-o", (dir / "out.map").string(), "--fixups"}, kScript);
    ASSERT_EQ(r.code, 0) << r.err;
    const std::size_t corrected = std::stoul(r.out.substr(r.out.find("108 bytes, ") + 11));
    // One header line, one summary line and one line per corrected word.
    EXPECT_EQ(static_cast<std::size_t>(std::count(r.out.begin(), r.out.end(), '\n')), corrected + 2);
    EXPECT_NE(r.out.find("0x" ), std::string::npos);
    EXPECT_EQ(test::ReadBytes(map), mapgen::GenerateMap(test::SmallMap(9)));
}

TEST_F(Cli, ScriptErrorsNameTheFileLineAndColumn) {
    test::WriteText(script, "<scripts>\n  <s>\n    <ScriptComand/>\n  </s>\n</scripts>\n");
    const auto before = test::ReadBytes(map);
    const XscRun r = Xsc({"compile", map.string(), script.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("xsc: error: " + script.string() + ":3:5: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("ScriptComand"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(map), before);

    const XscRun malformed = Xsc({"compile", map.string(), "-"}, "<a>\n<b></a>");
    EXPECT_EQ(malformed.code, 1);
    EXPECT_EQ(malformed.err.rfind("xsc: error: <stdin>:2:", 0), 0u) << malformed.err;
}

TEST_F(Cli, MapErrorsNameTheMap) {
    test::WriteText(dir / "bad.map", "daeh");
    const XscRun r = Xsc({"info", (dir / "bad.map").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.rfind("xsc: error: " + (dir / "bad.map").string() + ": ", 0), 0u) << r.err;
    const XscRun missing = Xsc({"compile", (dir / "absent.map").string(), script.string()});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("absent.map: cannot open for reading"), std::string::npos) << missing.err;
}

TEST_F(Cli, UsageErrorsExitWith2) {
    EXPECT_EQ(Xsc({}).code, 2);
    EXPECT_EQ(Xsc({"compile", map.string()}).code, 2);
    EXPECT_EQ(Xsc({"info", map.string(), "--bogus"}).code, 2);
    const XscRun help = Xsc({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("compile"), std::string::npos);
}

// -o writes the printed document whole; a damaged map is an error naming it, and no file is left.
TEST_F(Cli, DecompilePrintsOrWritesTheScript) {
    ASSERT_EQ(Xsc({"compile", map.string(), script.string()}).code, 0);
    const XscRun printed = Xsc({"decompile", map.string()});
    ASSERT_EQ(printed.code, 0) << printed.err;
    EXPECT_NE(printed.out.find("<ScriptValue ValueType=\"10\" ExpType=\"9\" Value=\"hi\"/>"), std::string::npos) << printed.out;
    const auto out = dir / "out.xml";
    const XscRun written = Xsc({"decompile", map.string(), "-o", out.string()});
    EXPECT_EQ(written.out, "decompiled 1 script from " + map.string() + " into " + out.string() + "\n");
    const test::Bytes bytes = test::ReadBytes(out);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), printed.out);

    test::Bytes damaged = test::ReadBytes(map);
    test::Put32(damaged, static_cast<std::size_t>(layout.nodeDataOffset + 0x2E), 0);  // one slot in use
    test::WriteBytes(map, damaged);
    const XscRun refused = Xsc({"decompile", map.string(), "-o", (dir / "none.xml").string()});
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err, "xsc: error: " + map.string() + ": script \"hello\" (record 0): its root names slot 7, but only slot 0 is in use\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "none.xml"));
}

// A script that is a folder, a map that is a named pipe (opening it would wait for a writer), an
// empty -o (not an in-place compile): each a clear error, the map unchanged.
TEST_F(Cli, MistakenInputsEndWithAClearErrorAndAnUnchangedMap) {
    const std::string pipe = (dir / "pipe.map").string();
    const test::Bytes before = test::ReadBytes(map);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const struct {
        std::vector<std::string> args;
        int code;
        std::string error;
    } cases[] = {
        {{"compile", map.string(), dir.Path().string()}, 1,
         "xsc: error: cannot read the script " + dir.Path().string() + ": Is a directory\n"},
        {{"info", pipe}, 1, "xsc: error: " + pipe + ": not a regular file\n"},
        {{"compile", pipe, "-"}, 1, "xsc: error: " + pipe + ": not a regular file\n"},
        {{"compile", map.string(), "-", "-o", ""}, 2, "xsc: error: --output: must not be empty\nRun 'xsc --help' for usage.\n"},
    };
    for (const auto& c : cases) {
        const XscRun r = Xsc(c.args, "<s/>");
        EXPECT_EQ(r.code, c.code) << c.args[0];
        EXPECT_EQ(r.err, c.error);
        EXPECT_TRUE(test::ReadBytes(map) == before);
    }
}

}  // namespace
}  // namespace xsc
