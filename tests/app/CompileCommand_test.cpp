// "Compile Script" through the window: a real button press on a generated map, checked against
// the command-line compiler and against the string data the script must produce; and every way
// the command can fail, each shown once, with nothing written and the script kept.

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>

#include <QAction>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "mapgen/MapGenerator.h"
#include "support/CompileFixture.h"
#include "support/TestFiles.h"

namespace xsc::test {
namespace {

// One script with one call: print("Hello from xsc!"). Its string data is "begin" (the wrapper
// call every script gets), then the function name, then the text value (type 10 is stored as
// text), each followed by a zero byte.
const QString kHello = QStringLiteral(
    "<Scripts>\n"
    "  <Script NameAttr=\"hello\" TypeAttr=\"1\" ReTypeAttr=\"4\">\n"
    "    <ScriptCommand Command=\"print\" EngineId=\"52\" ValueType=\"4\">\n"
    "      <ScriptValue ValueType=\"10\" Value=\"Hello from xsc!\"/>\n"
    "    </ScriptCommand>\n"
    "  </Script>\n"
    "</Scripts>\n");
const std::string kHelloStrings = std::string("begin\0print\0Hello from xsc!\0", 28);
constexpr std::size_t kStringDataPadding = 1024;  // zero bytes behind the new strings

// Runs `xsc compile MAP SCRIPT -o OUT` and returns its exit code.
int CliCompile(const std::filesystem::path& map, const std::filesystem::path& script,
               const std::filesystem::path& out) {
    QProcess cli;
    cli.start(QStringLiteral(XSC_CLI_PATH),
              {QStringLiteral("compile"), QString::fromStdString(map.string()),
               QString::fromStdString(script.string()), QStringLiteral("-o"), QString::fromStdString(out.string())});
    if (!cli.waitForFinished(60000)) return -1;
    if (cli.exitCode() != 0) ADD_FAILURE() << cli.readAllStandardError().toStdString();
    return cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
}

// Line and column from an error text "... Line L, column C: ...".
std::pair<int, int> PositionIn(const QString& text) {
    const auto match = QRegularExpression(QStringLiteral("Line (\\d+), column (\\d+): ")).match(text);
    if (!match.hasMatch()) return {0, 0};
    return {match.captured(1).toInt(), match.captured(2).toInt()};
}

struct Cursor {
    int line;    // from 1
    int column;  // from 1
};
Cursor CursorOf(const QPlainTextEdit* field) {
    const QTextCursor cursor = field->textCursor();
    return {cursor.blockNumber() + 1, cursor.positionInBlock() + 1};
}

class CompileCommand : public ::testing::Test {
protected:
    void SetUp() override {
        map_ = dir_ / "seed7.map";
        layout_ = mapgen::WriteMap(map_, SmallMap(7));
        original_ = ReadBytes(map_);
    }

    void Press(DrivenWindow& driven) { QTest::mouseClick(driven->BtnCompileScript, Qt::LeftButton); }

    // Exactly one error box, and no "done!".
    QString OnlyError(const DrivenWindow& driven) {
        EXPECT_EQ(driven.messages->shown.size(), 1u);
        if (driven.messages->shown.empty()) return {};
        EXPECT_TRUE(driven.messages->shown[0].error);
        return driven.messages->shown[0].text;
    }

    TempDir dir_;
    std::filesystem::path map_;
    mapgen::MapLayout layout_;
    Bytes original_;
};

TEST_F(CompileCommand, ButtonPressCompilesIntoTheMapAsTheCommandLineToolDoes) {
    const auto copy = dir_ / "copy.map";
    const auto script = dir_ / "hello.xml";
    const auto expected = dir_ / "cli.map";
    std::filesystem::copy_file(map_, copy);
    WriteText(script, kHello.toStdString());
    ASSERT_EQ(CliCompile(copy, script, expected), 0);

    auto driven = MakeWindow();
    LoadThroughMenu(driven, map_);
    driven->ScriptFld->setPlainText(kHello);
    Press(driven);

    ASSERT_EQ(driven.messages->shown.size(), 1u);
    EXPECT_FALSE(driven.messages->shown[0].error);
    EXPECT_EQ(driven.messages->shown[0].text, QStringLiteral("done!"));

    const Bytes compiled = ReadBytes(map_);
    EXPECT_EQ(compiled, ReadBytes(expected));
    EXPECT_GT(compiled.size(), original_.size());
    // The new string data stands where the old one began, followed by its zero padding.
    const std::size_t at = static_cast<std::size_t>(layout_.stringDataOffset);
    ASSERT_GE(compiled.size(), at + kHelloStrings.size() + kStringDataPadding);
    EXPECT_EQ(std::string(compiled.begin() + at, compiled.begin() + at + kHelloStrings.size()), kHelloStrings);
    const auto padding = compiled.begin() + at + kHelloStrings.size();
    EXPECT_TRUE(std::all_of(padding, padding + kStringDataPadding, [](std::uint8_t b) { return b == 0; }));
    // Everything in front of the tag index is untouched.
    EXPECT_TRUE(std::equal(original_.begin(), original_.begin() + layout_.indexOffset, compiled.begin()));

    EXPECT_EQ(driven->ScriptFld->toPlainText(), kHello);
}

TEST_F(CompileCommand, MalformedXmlIsShownAtItsPlaceAndWritesNothing) {
    // The end tag on line 4 does not match the open ScriptCommand of line 3.
    const QString script = QStringLiteral(
        "<Scripts>\n"
        "  <Script NameAttr=\"a\" TypeAttr=\"1\" ReTypeAttr=\"4\">\n"
        "    <ScriptCommand Command=\"sleep\" EngineId=\"1\" ValueType=\"4\">\n"
        "  </Script>\n"
        "</Scripts>\n");
    auto driven = MakeWindow();
    LoadThroughMenu(driven, map_);
    driven->ScriptFld->setPlainText(script);
    driven->ScriptFld->moveCursor(QTextCursor::End);
    Press(driven);

    const QString text = OnlyError(driven);
    EXPECT_TRUE(text.contains(QStringLiteral("seed7.map"))) << text.toStdString();
    const auto [line, column] = PositionIn(text);
    EXPECT_EQ(line, 4) << text.toStdString();
    const Cursor cursor = CursorOf(driven->ScriptFld);
    EXPECT_EQ(cursor.line, 4);
    EXPECT_EQ(cursor.column, column);
    EXPECT_EQ(ReadBytes(map_), original_);
    EXPECT_EQ(driven->ScriptFld->toPlainText(), script);
}

TEST_F(CompileCommand, UnclosedDocumentPointsAtItsEnd) {
    const QString script = QStringLiteral("<Scripts>\n  <Script NameAttr=\"a\">\n");
    auto driven = MakeWindow();
    LoadThroughMenu(driven, map_);
    driven->ScriptFld->setPlainText(script);
    Press(driven);

    const QString text = OnlyError(driven);
    const auto [line, column] = PositionIn(text);
    EXPECT_GE(line, 2) << text.toStdString();
    EXPECT_EQ(CursorOf(driven->ScriptFld).line, line);
    EXPECT_EQ(ReadBytes(map_), original_);
}

TEST_F(CompileCommand, AnElementTheLanguageDoesNotKnowIsShownAtItsLine) {
    const QString script = QStringLiteral(
        "<Scripts>\n"
        "  <Script NameAttr=\"a\" TypeAttr=\"1\" ReTypeAttr=\"4\">\n"
        "    <ScriptComand Command=\"sleep\" EngineId=\"1\" ValueType=\"4\"/>\n"
        "  </Script>\n"
        "</Scripts>\n");
    auto driven = MakeWindow();
    LoadThroughMenu(driven, map_);
    driven->ScriptFld->setPlainText(script);
    Press(driven);

    const QString text = OnlyError(driven);
    EXPECT_TRUE(text.contains(QStringLiteral("ScriptComand"))) << text.toStdString();
    const auto [line, column] = PositionIn(text);
    EXPECT_EQ(line, 3) << text.toStdString();
    EXPECT_EQ(CursorOf(driven->ScriptFld).line, 3);
    EXPECT_EQ(CursorOf(driven->ScriptFld).column, column);
    EXPECT_EQ(ReadBytes(map_), original_);
    EXPECT_EQ(driven->ScriptFld->toPlainText(), script);
}

TEST_F(CompileCommand, BeforeAnyLoadItSaysSoAndReadsNothing) {
    auto driven = MakeWindow();
    // Malformed on purpose: the missing map is reported first, before the script is read.
    driven->ScriptFld->setPlainText(QStringLiteral("<Scripts>"));
    Press(driven);
    EXPECT_TRUE(OnlyError(driven).contains(QStringLiteral("No map is loaded")));
    EXPECT_EQ(driven->ScriptFld->toPlainText(), QStringLiteral("<Scripts>"));
    EXPECT_EQ(driven->ScriptFld->textCursor().position(), 0);  // not moved to a script error
}

TEST_F(CompileCommand, AfterACancelledLoadItRefusesAndLeavesTheOldFileAlone) {
    auto driven = MakeWindow();
    LoadThroughMenu(driven, map_);
    driven->MenuItem(QStringLiteral("FileLoadmap"))->trigger();  // cancelled: no file any more
    driven->ScriptFld->setPlainText(kHello);
    Press(driven);
    EXPECT_TRUE(OnlyError(driven).contains(QStringLiteral("No map is loaded")));
    EXPECT_EQ(ReadBytes(map_), original_);
}

TEST_F(CompileCommand, AMapThatNoLongerFitsItsIndexIsRefusedWithoutWriting) {
    auto driven = MakeWindow();
    LoadThroughMenu(driven, map_);
    // Someone cut the file short after it was loaded: the scenario now lies past its end.
    std::filesystem::resize_file(map_, 4096);
    const Bytes cut = ReadBytes(map_);
    driven->ScriptFld->setPlainText(kHello);
    Press(driven);

    const QString text = OnlyError(driven);
    EXPECT_TRUE(text.contains(QStringLiteral("seed7.map"))) << text.toStdString();
    EXPECT_EQ(ReadBytes(map_), cut);
    EXPECT_TRUE(driven->isVisible());
}

TEST_F(CompileCommand, AFileSizeLimitIsAnErrorNotTheEndOfTheProgram) {
    auto driven = MakeWindow();
    LoadThroughMenu(driven, map_);
    driven->ScriptFld->setPlainText(kHello);

    // The compile grows the map; forbid any file from growing past its present size.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit limited = previous;
    limited.rlim_cur = static_cast<rlim_t>(original_.size());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    Press(driven);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(OnlyError(driven).contains(QStringLiteral("seed7.map")));
    EXPECT_EQ(ReadBytes(map_), original_);
    EXPECT_EQ(driven->ScriptFld->toPlainText(), kHello);
}

}  // namespace
}  // namespace xsc::test
