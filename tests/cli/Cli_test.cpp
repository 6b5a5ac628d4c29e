// The xsc command line run in-process: output formats, exit codes and error lines.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
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

// A small map whose header names the custom build.
mapgen::MapOptions CustomMap(std::int32_t slots = 200) {
    mapgen::MapOptions options = test::SmallMap(9);
    options.engineValue = 609;
    options.slotCapacity = slots;
    return options;
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        map = dir / "level.map";
        layout = mapgen::WriteMap(map, CustomMap());
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
    EXPECT_EQ(o["engine"].toObject(), (QJsonObject{{"build", "custom"}, {"field", 4}, {"value", 609}}));
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
    EXPECT_NE(r.out.find("\n  engine                custom (engine value 609 at 0x4)\n"), std::string::npos) << r.out;
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
    EXPECT_EQ(test::ReadBytes(map), mapgen::GenerateMap(CustomMap()));
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
    EXPECT_EQ(Xsc({"check", script.string(), "--engine", "bogus"}).code, 2);
    EXPECT_EQ(Xsc({"check", script.string(), "--engine", "retail", "--map", map.string()}).code, 2);
    EXPECT_EQ(Xsc({"functions", "--engine", "pc"}).code, 2);
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

// The compile prints the check's warnings on standard error first; they change no byte.
TEST_F(Cli, CompileWarnsFirstUnlessToldNotTo) {
    const XscRun warned = Xsc({"compile", map.string(), script.string(), "-o", (dir / "a.map").string()});
    const XscRun quiet = Xsc({"compile", map.string(), script.string(), "-o", (dir / "b.map").string(), "--no-warnings"});
    ASSERT_EQ(warned.code, 0) << warned.err;
    EXPECT_EQ(warned.err, script.string() + ":2:3: warning: no TypeAttr attribute; it reads as 0\n" + script.string() +
                          ":3:5: warning: \"print\" is function 28 in the custom build, not 12 (12 is "
                          "\"max\")\n" + script.string() + ":4:7: warning: ValueType 10 (script) cannot stand where string (9) "
                          "is expected (argument 1 of \"print\")\n");
    EXPECT_EQ(quiet.err, "");
    EXPECT_TRUE(test::ReadBytes(dir / "a.map") == test::ReadBytes(dir / "b.map"));
}

// With --map the build comes from the map's header, and a script must fit the map's node data.
TEST_F(Cli, CheckTakesTheBuildAndTheSlotCapacityFromTheMap) {
    test::WriteText(script, "<s><s NameAttr='x' TypeAttr='0' ReTypeAttr='4'>"
                            "<ScriptCommand Command='sv_say' EngineId='495' ValueType='4'><ScriptValue ValueType='9'/>"
                            "</ScriptCommand></s></s>");
    mapgen::MapOptions unknown = CustomMap(), retail = CustomMap(), small = CustomMap(9);
    unknown.engineValue.reset();
    retail.engineValue = 7;
    const std::string s = script.string(), m = (dir / "m.map").string();
    const struct {
        mapgen::MapOptions map;
        int code;
        std::string out;
    } cases[] = {
        {CustomMap(), 0, s + ": 0 errors, 0 warnings, 0 notes; checked against the custom build\n"},
        {retail, 0, s + ":1:48: warning: \"sv_say\" exists only in the custom build; the game crashes here\n" +
                        script.string() + ": 0 errors, 1 warning, 0 notes; checked against the retail build\n"},
        {unknown, 0, m + ": note: the map's engine build is unknown (engine value 3164899843 at 0x4); no engine checks "
                         "(known: 7 retail or 609 custom at 0x4 of a \"daeh\" header, 6 demo at 0x588 of a header with "
                         "\"Ehed\" at 0x2c0)\n" + script.string() + ": 0 errors, 0 warnings, 1 note; no engine checks (unknown build)\n"},
        {small, 1, s + ":1:1: error: the scripts need 10 node slots but the map's node data holds 9\n" + script.string() +
                       ": 1 error, 0 warnings, 0 notes; checked against the custom build\n"},
    };
    for (const auto& c : cases) {
        mapgen::WriteMap(m, c.map);
        const XscRun r = Xsc({"check", script.string(), "--map", m});
        EXPECT_EQ(r.code, c.code) << r.out << r.err;
        EXPECT_EQ(r.out, c.out);
    }
}

TEST(CliFunctions, ListsAlignedOrAsJsonAndSaysWhyNothingMatches) {
    EXPECT_EQ(Xsc({"functions", "SLEEP"}).out,
              "name          number  returns  parameters\n"
              "sleep         19      void     short [script]\n"
              "sleep_until   20      void     boolean [short] [long]\n"
              "thread_sleep  515     void     long\n");
    const XscRun json = Xsc({"functions", "sv_players", "--engine", "demo", "--json"});
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    EXPECT_EQ(o["engine"].toString(), "demo");
    EXPECT_EQ(o["functions"].toArray(), (QJsonArray{QJsonObject{
                                            {"name", "sv_players"}, {"number", 494}, {"returns", "void"}, {"parameters", "-"}}}));
    const XscRun none = Xsc({"functions", "sv_say", "--engine", "retail"});
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.err, "xsc: error: no function of the retail build matches \"sv_say\" (other builds have sv_say)\n");
}

// Each check/CASE.xml is checked with the arguments of its first line, <?args ...?>; CASE.expected
// holds what `xsc check` prints (paths shown without the folder) and its exit code.
// XSC_UPDATE_GOLDEN=1 rewrites the expected files from what the check prints now.
TEST(CheckGolden, EachCasePrintsItsExpectedOutput) {
    const std::filesystem::path folder = std::filesystem::path(__FILE__).parent_path() / "check";
    int cases = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".xml") continue;
        ++cases;
        std::ifstream file(entry.path());
        std::string first;
        std::getline(file, first);
        std::istringstream words(first.substr(6, first.find("?>") - 6));  // behind "<?args"
        std::vector<std::string> args{"check", entry.path().string()};
        for (std::string word; words >> word;) args.push_back(word);

        const XscRun r = Xsc(args);
        std::string printed = r.out + r.err + "exit " + std::to_string(r.code) + "\n";
        for (std::size_t at; (at = printed.find(folder.string() + "/")) != std::string::npos;) {
            printed.erase(at, folder.string().size() + 1);
        }
        std::filesystem::path expected = entry.path();
        expected.replace_extension(".expected");
        if (std::getenv("XSC_UPDATE_GOLDEN") != nullptr) test::WriteText(expected, printed);
        const test::Bytes want = test::ReadBytes(expected);
        EXPECT_EQ(printed, std::string(want.begin(), want.end())) << entry.path();
    }
    EXPECT_EQ(cases, 4);
}

}  // namespace
}  // namespace xsc
