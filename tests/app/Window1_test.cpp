// The main window as the user drives it: its two commands, File > Load map (Command-L) with a
// chooser the test answers and a real click on "Compile Script" in either language, checked
// against the command-line tool, with the check's errors and warnings shown before; then Tab, how
// the controls follow a resize, the editing items, the About window and Quit.
// How the window and its menus look is checked by the pictures scripts/screenshot renders.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "About.h"
#include "Canvas.h"
#include "EggPicture.h"
#include "MenuBar1.h"
#include "ScriptHighlighter.h"
#include "Window1.h"
#include "mapgen/MapGenerator.h"
#include "runtime/BinaryStream.h"
#include "runtime/RollbackJournal.h"
#include "support/CompileFixture.h"
#include "support/OfficialScripts.h"

namespace xsc::test {
namespace {

// One application object for the whole test program, offscreen unless told otherwise.
class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "xsc_app_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

// Driving the window without a human: a chooser that gives the answer the test set, a message box
// that records what it would have shown, and a shown, active window built with both.
struct AnsweringChooser : FileChooser {
    std::optional<std::filesystem::path> answer;  // nothing: the user cancels
    std::vector<std::string> filters;             // every filter asked for
    std::optional<std::filesystem::path> GetOpenFolderItem(const std::string& filter) override {
        filters.push_back(filter);
        return answer;
    }
};

// "done!" for a notice, "error: <text>" for an error box, "question: <text> [<proceed>|<cancel>]"
// for a question, which is answered with `proceed`.
struct RecordedMessages : MessageBox {
    std::vector<std::string> shown;
    bool proceed = false;
    void MsgBox(const QString& text) override { shown.push_back(text.toStdString()); }
    void ErrorBox(const QString& text) override { shown.push_back("error: " + text.toStdString()); }
    bool Question(const QString& text, const QString& yes, const QString& no) override {
        shown.push_back(QStringLiteral("question: %1 [%2|%3]").arg(text, yes, no).toStdString());
        return proceed;
    }
};

class WindowTest : public ::testing::Test {
protected:
    WindowTest()
        : window(std::make_unique<Window1>(
              Window1::Services{std::unique_ptr<FileChooser>(chooser), std::unique_ptr<MessageBox>(messages)})) {
        window->show();
        window->activateWindow();  // so that its shortcuts work
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    // File > Load map, the chooser answering `map` (nothing: cancel).
    void Load(const std::optional<std::filesystem::path>& map) {
        chooser->answer = map;
        window->Menus()->FileLoadmap->trigger();
    }

    TempDir dir;
    AnsweringChooser* chooser = new AnsweringChooser;  // both owned by the window
    RecordedMessages* messages = new RecordedMessages;
    std::unique_ptr<Window1> window;
};

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// The map of the retail build (engine value 7), whose engine lacks sv_say, with the generator's
// named things.
mapgen::MapOptions RetailMap() {
    mapgen::MapOptions options = NamedMap(7);
    options.engineValue = 7;
    return options;
}

class Commands : public WindowTest {
protected:
    void SetUp() override {
        layout = mapgen::WriteMap(map, RetailMap());
        original = ReadBytes(map);
    }
    void Compile(const QString& script) {
        window->ScriptFld->setPlainText(script);
        QTest::mouseClick(window->BtnCompileScript, Qt::LeftButton);
    }
    // What `xsc compile` makes of the map as it is with a script file of `name` and `bytes`.
    Bytes CompiledByTheCommandLine(const std::string& name, const QByteArray& bytes) {
        WriteText(dir / name, bytes.toStdString());
        EXPECT_EQ(QProcess::execute(QStringLiteral(XSC_CLI_PATH), {QStringLiteral("compile"), Q(map), Q(dir / name),
                                                                   QStringLiteral("-o"), Q(dir / "cli.map")}), 0);
        return ReadBytes(dir / "cli.map");
    }
    // Where the script field's text cursor is: line and UTF-16 offset in it, from 1.
    std::pair<int, int> Cursor() const {
        const QTextCursor cursor = window->ScriptFld->textCursor();
        return {cursor.blockNumber() + 1, cursor.positionInBlock() + 1};
    }

    const std::filesystem::path map = dir / "seed7.map";
    mapgen::MapLayout layout;
    Bytes original;
};

// A load says nothing; a failed one says so and keeps the map loaded before; a cancel forgets it.
// The title names the loaded map, and the highlighting takes its build's names.
TEST_F(Commands, CommandLLoadsTheChosenMapAndACancelForgetsIt) {
    window->ScriptFld->setPlainText(QStringLiteral("(sv_say \"hi\")"));
    const auto sayIsUnknown = [this] {
        const auto formats = window->ScriptFld->document()->firstBlock().layout()->formats();
        return formats.size() == 2 && formats[0].format == ScriptHighlighter::Format(Highlight::Unknown);
    };
    EXPECT_EQ(window->windowTitle(), "Compiler");
    EXPECT_FALSE(sayIsUnknown());
    chooser->answer = map;
    QTest::keyClick(window.get(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(chooser->filters, std::vector<std::string>{"Halo map (*.map)"});
    EXPECT_EQ(window->LoadedMap.f, map);
    EXPECT_EQ(window->LoadedMap.TagCount, layout.tagCount);
    EXPECT_TRUE(messages->shown.empty());
    EXPECT_EQ(window->windowTitle(), "Compiler - seed7.map");
    EXPECT_TRUE(sayIsUnknown());  // the retail build has no sv_say
    Load(dir / "missing.map");
    EXPECT_EQ(messages->shown, std::vector<std::string>{"error: The map \"missing.map\" could not be loaded:\ncannot open for "
                                                        "reading: No such file or directory\n\nThe map \"seed7.map\" stays loaded."});
    EXPECT_EQ(window->LoadedMap.f, map);
    EXPECT_EQ(window->windowTitle(), "Compiler - seed7.map");
    Load(std::nullopt);
    EXPECT_FALSE(window->LoadedMap.f);
    EXPECT_EQ(messages->shown.size(), 1u);  // a cancel says nothing
    EXPECT_EQ(window->windowTitle(), "Compiler");
    EXPECT_FALSE(sayIsUnknown());
}

// One script with one call, print("Hello from xsc!"), in either language.
const QString kHello = QStringLiteral(
    "<Scripts>\n  <Script NameAttr=\"hello\" TypeAttr=\"1\" ReTypeAttr=\"4\">\n    <ScriptCommand Command=\"print\" "
    "EngineId=\"28\" ValueType=\"4\">\n      <ScriptValue ValueType=\"9\" Value=\"Hello from xsc!\"/>\n    </ScriptCommand>\n"
    "  </Script>\n</Scripts>\n");
const QString kHelloSource = QStringLiteral("; hello\n(script dormant hello\n  (print \"Hello from xsc!\"))\n");
// The field holds text: the encoding an XML declaration names was that of the file it came from.
const QString kHelloLatin1 = QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n") +
                             QString(kHello).replace(QStringLiteral("Hello"), QStringLiteral("H\u00e9llo"));

TEST_F(Commands, AClickCompilesEitherLanguageAsTheCommandLineToolDoesAndSaysDoneOnce) {
    const struct {
        const char* file;
        QString script;
        QByteArray fileBytes;
    } cases[] = {{"hello.xml", kHello, kHello.toUtf8()},
                 {"hello.hsc", kHelloSource, kHelloSource.toUtf8()},
                 {"latin1.xml", kHelloLatin1, kHelloLatin1.toLatin1()}};
    for (const auto& [file, script, fileBytes] : cases) {
        SCOPED_TRACE(file);
        WriteBytes(map, original);
        messages->shown.clear();
        const Bytes expected = CompiledByTheCommandLine(file, fileBytes);
        ASSERT_TRUE(expected != original);

        Load(map);
        Compile(script);
        EXPECT_EQ(messages->shown, std::vector<std::string>{"done!"});
        EXPECT_TRUE(ReadBytes(map) == expected);
        EXPECT_EQ(window->ScriptFld->toPlainText(), script);
        // Compiling again recompiles the map: the same script gives the same bytes.
        Compile(script);
        EXPECT_EQ(messages->shown, (std::vector<std::string>{"done!", "done!"}));
        EXPECT_TRUE(ReadBytes(map) == expected);
    }
}

// Every error in one box, the cursor on the first (its column counts characters: the emoji before
// it is two UTF-16 units in the field); nothing is asked or written.
TEST_F(Commands, EveryErrorOfTheCheckIsShownInOneBoxWithTheCursorOnTheFirst) {
    const QString script = QStringLiteral("(script startup a\n  (print \"\U0001F600\") (sleep \"x\")\n  (foo 1))\n");
    Load(map);
    Compile(script);
    EXPECT_EQ(messages->shown, std::vector<std::string>{
                                   "error: The script was not compiled into \"seed7.map\":\nLine 2, column 22: a short must be a "
                                   "whole number, not \"x\" (argument 1 of \"sleep\")\nLine 3, column 4: unknown function "
                                   "\"foo\"; did you mean \"or\" or \"not\"?"});
    EXPECT_EQ(Cursor(), std::pair(2, 23));
    EXPECT_TRUE(ReadBytes(map) == original);
    EXPECT_EQ(window->ScriptFld->toPlainText(), script);
}

// Names are looked up in the loaded map as the command line looks them up: one the map lacks is an
// error at its place, in either language.
TEST_F(Commands, ANameTheLoadedMapLacksIsAnErrorAtItsPlace) {
    Load(map);
    Compile(QStringLiteral("(script startup a\n  (camera_set point_2 0)\n  (camera_set pont_2 0))\n"));
    Compile(QStringLiteral("<s><a NameAttr='a'>\n<ScriptValue ValueType='17' Value='enc_wave_1/nobody'/></a></s>"));
    EXPECT_EQ(messages->shown, (std::vector<std::string>{
                                   "error: The script was not compiled into \"seed7.map\":\nLine 3, column 15: no cutscene camera "
                                   "point \"pont_2\" among the 5 of the scenario's cutscene camera points (scnr+0x4f0); did you "
                                   "mean \"point_2\"?",
                                   "error: The script was not compiled into \"seed7.map\":\nLine 2, column 1: no squad or platoon "
                                   "\"nobody\" in encounter \"enc_wave_1\" (2 squads, 1 platoon)"}));
    EXPECT_EQ(Cursor(), std::pair(2, 1));
    EXPECT_TRUE(ReadBytes(map) == original);
}

// Warnings ask, with the cursor on the first: Cancel compiles nothing; "Compile anyway" compiles
// as the command line does.
TEST_F(Commands, WarningsAskWhetherToCompileAndCancelCompilesNothing) {
    const struct {
        const char* file;
        QString script;
        std::string question;
        std::pair<int, int> cursor;
    } cases[] = {
        {"warned.hsc",
         QStringLiteral("(script startup a\n  (sleep 1)\n  (set multiplayer_hit_sound_volume 0.5)\n"
                        "  (if (= (ai_living_count enc_wave_1) (game_is_cooperative)) (sleep 2)))\n"),
         "The check found 2 warnings:\nLine 3, column 8: the engine global \"multiplayer_hit_sound_volume\" "
         "exists only in the custom build\nLine 4, column 7: \"=\" compares short with boolean, which do not convert to "
         "each other\n\nCompile it into \"seed7.map\" anyway?",
         {3, 8}},
        {"warned.xml", QString(kHello).replace(QStringLiteral("\"28\""), QStringLiteral("\"52\"")),
         "The check found 1 warning:\nLine 3, column 5: \"print\" is function 28 in the retail build, not 52 "
         "(52 is \"objects_can_see_flag\")\n\nCompile it into \"seed7.map\" anyway?",
         {3, 5}},
    };
    for (const auto& c : cases) {
        for (const bool proceed : {false, true}) {
            SCOPED_TRACE(std::string(c.file) + (proceed ? ", compiled anyway" : ", cancelled"));
            WriteBytes(map, original);
            const Bytes expected = CompiledByTheCommandLine(c.file, c.script.toUtf8());
            Load(map);
            messages->shown.clear();
            messages->proceed = proceed;
            Compile(c.script);
            const std::string question = "question: " + c.question + " [Compile anyway|Cancel]";
            const std::vector<std::string> shown = proceed ? std::vector<std::string>{question, "done!"}
                                                           : std::vector<std::string>{question};
            EXPECT_EQ(messages->shown, shown);
            EXPECT_TRUE(ReadBytes(map) == (proceed ? expected : original));
            EXPECT_EQ(Cursor(), c.cursor);
        }
    }
    // What a compile warns of about the map asks too: the header gives a shorter length than the
    // file has.
    Bytes longer = original;
    longer.resize(longer.size() + 16);
    WriteBytes(map, longer);
    Load(map);
    messages->shown.clear();
    messages->proceed = false;
    Compile(kHello);
    EXPECT_EQ(messages->shown, std::vector<std::string>{
                                   "question: The check found 1 warning:\n\"seed7.map\": the map's header gives its length as "
                                   "85464 bytes (at 0x8), the file has 85480 bytes: the game may not read the bytes behind that "
                                   "length\n\nCompile it into \"seed7.map\" anyway? [Compile anyway|Cancel]"});
    EXPECT_TRUE(ReadBytes(map) == longer);
}

// A source is compiled for the map's build: one xsc does not know refuses it, and XML still compiles.
TEST_F(Commands, ASourceForAMapOfAnUnknownBuildIsRefused) {
    const std::filesystem::path unknown = dir / "unknown.map";
    mapgen::MapOptions options = SmallMap(7);
    options.engineValue = 12;
    mapgen::WriteMap(unknown, options);
    const Bytes before = ReadBytes(unknown);
    Load(unknown);
    Compile(kHelloSource);
    EXPECT_EQ(messages->shown, std::vector<std::string>{
                                   "error: The script was not compiled into \"unknown.map\":\na script in the source language is "
                                   "compiled for one build of the game, and this map's build is unknown (engine value 12 at "
                                   "0x4); known: 7 retail or 609 custom at 0x4 of a \"daeh\" header, 6 demo at 0x588 of a "
                                   "header with \"dehE\" at 0x2c0. Write the script in XML, or compile it with xsc compile "
                                   "--engine"});
    EXPECT_TRUE(ReadBytes(unknown) == before);
    Compile(kHello);
    EXPECT_EQ(messages->shown.back(), "done!");
}

// A compile that a crash interrupted (its journal saved, the map half-written) is undone when
// the map is loaded, or when the compile command opens it (another process's crash since the
// load), and the user is told once.
TEST_F(Commands, LoadingOrCompilingAMapUndoesAnInterruptedCompile) {
    const auto interrupt = [this] {
        BinaryStream file = BinaryStream::OpenAsBinaryFile(map, BinaryStream::Mode::ReadWrite);
        RollbackJournal::Begin(file, map, {{layout.stringDataOffset, 64}}, file.Length() + 8);
        file.SetPosition(layout.stringDataOffset);
        const Bytes scribble(64, 0xAB);
        file.Write(scribble.data(), scribble.size());
    };
    const std::string undone = "\"seed7.map\": a compile of this map was interrupted (a crash or a kill); it has been "
                               "undone and the map is as it was before.";
    interrupt();
    Load(map);
    EXPECT_EQ(messages->shown, std::vector<std::string>{undone});
    EXPECT_TRUE(ReadBytes(map) == original);
    EXPECT_EQ(window->LoadedMap.f, map);

    const Bytes expected = CompiledByTheCommandLine("hello.xml", kHello.toUtf8());
    interrupt();
    Compile(kHello);
    EXPECT_EQ(messages->shown, (std::vector<std::string>{undone, undone, "done!"}));
    EXPECT_TRUE(ReadBytes(map) == expected);
}

TEST_F(Commands, MalformedXmlIsShownWithTheCursorAtItAndWritesNothing) {
    // The end tag on line 4 does not match the ScriptCommand opened on line 3.
    const QString script = QStringLiteral("<Scripts>\n  <Script NameAttr=\"a\" TypeAttr=\"1\" ReTypeAttr=\"4\">\n    <ScriptCommand "
                                          "Command=\"sleep\" EngineId=\"1\" ValueType=\"4\">\n  </Script>\n</Scripts>\n");
    Load(map);
    Compile(script);
    EXPECT_EQ(messages->shown, std::vector<std::string>{"error: The script was not compiled into \"seed7.map\":\nLine 4, column "
                                                        "11: malformed XML: opening and ending tag mismatch (inside element "
                                                        "\"ScriptCommand\" that starts at 3:5)"});
    const QTextCursor cursor = window->ScriptFld->textCursor();
    EXPECT_EQ(cursor.blockNumber() + 1, 4);
    EXPECT_EQ(cursor.positionInBlock() + 1, 11);
    EXPECT_TRUE(ReadBytes(map) == original);
    EXPECT_EQ(window->ScriptFld->toPlainText(), script);
}

// A map whose scripts the game's tools compiled: "Compile Script" replaces them as `xsc compile`
// does; File > Decompile map then shows what `xsc decompile --hsc` gives, which compiles back into
// the same bytes; Edit > Undo brings back the text the field held.
TEST_F(Commands, DecompileMapShowsTheScriptsToEditAndCompileBackIntoAMapTheGamesToolsCompiled) {
    Bytes official = mapgen::GenerateMap(RetailMap(), &layout);
    WriteOfficialScripts(official, layout);
    WriteBytes(map, official);
    const QString source = QStringLiteral("(global short delay 30)\n(script continuous ring (camera_set point_2 400) (sleep delay))\n");
    const Bytes expected = CompiledByTheCommandLine("ring.hsc", source.toUtf8());
    ASSERT_TRUE(expected != official);
    Load(map);
    Compile(source);
    EXPECT_EQ(messages->shown, std::vector<std::string>{"done!"});
    EXPECT_TRUE(ReadBytes(map) == expected);

    QProcess decompile;
    decompile.start(QStringLiteral(XSC_CLI_PATH), {QStringLiteral("decompile"), Q(map), QStringLiteral("--hsc")});
    ASSERT_TRUE(decompile.waitForFinished(-1));
    const QString decompiled = QString::fromUtf8(decompile.readAllStandardOutput());
    ASSERT_TRUE(decompiled.contains(QStringLiteral("(sleep delay)")));
    window->Menus()->FileDecompilemap->trigger();
    EXPECT_EQ(window->ScriptFld->toPlainText(), decompiled);
    window->Menus()->EditUndo->trigger();
    EXPECT_EQ(window->ScriptFld->toPlainText(), source);
    window->ScriptFld->redo();
    Compile(window->ScriptFld->toPlainText());
    EXPECT_EQ(messages->shown, (std::vector<std::string>{"done!", "done!"}));
    EXPECT_TRUE(ReadBytes(map) == expected);
}

TEST_F(Commands, DecompileMapWithoutAMapSaysSoAndKeepsTheText) {
    window->ScriptFld->setPlainText(kHelloSource);
    window->Menus()->FileDecompilemap->trigger();
    EXPECT_EQ(messages->shown, std::vector<std::string>{"error: No map is loaded. Choose File > Load map, then decompile it."});
    EXPECT_EQ(window->ScriptFld->toPlainText(), kHelloSource);
}

// After a cancelled load: said in words, before the (malformed) script is read, and the file of
// the earlier load is not written.
TEST_F(Commands, CompileWithoutAMapSaysSoAndWritesNothing) {
    Load(map);
    Load(std::nullopt);
    Compile(QStringLiteral("<Scripts>"));
    EXPECT_EQ(messages->shown, std::vector<std::string>{"error: No map is loaded. Choose File > Load map, then compile again."});
    EXPECT_EQ(window->ScriptFld->textCursor().position(), 0);  // not moved to a script error
    EXPECT_TRUE(ReadBytes(map) == original);
}

// Tab moves the focus on; with no other control to take it, it does nothing.
TEST_F(WindowTest, TabIsNotTypedIntoTheScript) {
    QTest::keyClicks(window->ScriptFld, QStringLiteral("ab"));
    QTest::keyClick(window->ScriptFld, Qt::Key_Tab);
    QTest::keyClick(window->ScriptFld, Qt::Key_Backtab);
    EXPECT_EQ(window->ScriptFld->toPlainText(), QStringLiteral("ab"));
}

// The field fills the content down to a 34 px strip; the button keeps 20 px from the right edge
// and 7 px from the bottom edge; the content never gets smaller than 130 x 200.
TEST_F(WindowTest, ControlsFollowAResizeDownToTheMinimum) {
    const QSize frame = window->size() - window->centralWidget()->size();
    for (const QSize asked : {QSize(523, 532), QSize(400, 382), QSize(160, 700), QSize(10, 10), QSize(323, 382)}) {
        const QSize content = asked.expandedTo(QSize(130, 200));
        SCOPED_TRACE(content.width() * 10000 + content.height());
        window->resize(asked + frame);
        QApplication::processEvents();
        ASSERT_EQ(window->centralWidget()->size(), content);
        EXPECT_EQ(window->ScriptFld->geometry(), QRect(0, 0, content.width(), content.height() - 34));
        EXPECT_EQ(window->BtnCompileScript->geometry(),
                  QRect(content.width() - 20 - 97, content.height() - 7 - 22, 97, 22));
    }
}

// The editing items act on the script field. Each row: an item, then the field's text and the
// clipboard's; Delete leaves the clipboard, Cut and Copy set it, Copy leaves the text.
TEST_F(WindowTest, EditItemsActOnTheScriptField) {
    const MenuBar1& m = *window->Menus();
    window->ScriptFld->setFocus();
    QTest::keyClicks(window->ScriptFld, QStringLiteral("ab"));
    QApplication::clipboard()->setText(QStringLiteral("x"));
    const struct { QAction* item; QString text, clipboard; } steps[] = {
        {m.EditSelectAll, "ab", "x"}, {m.EditClear, "", "x"},     {m.EditUndo, "ab", "x"},
        {m.EditSelectAll, "ab", "x"}, {m.EditCut, "", "ab"},      {m.EditPaste, "ab", "ab"},
        {m.EditPaste, "abab", "ab"},  {m.EditSelectAll, "abab", "ab"}, {m.EditCopy, "abab", "abab"}};
    for (const auto& step : steps) {
        step.item->trigger();
        EXPECT_EQ(window->ScriptFld->toPlainText(), step.text) << step.item->objectName().toStdString();
        EXPECT_EQ(QApplication::clipboard()->text(), step.clipboard) << step.item->objectName().toStdString();
    }
}

TEST_F(WindowTest, AboutIsOneFixedSizeNonModalWindowAtATime) {
    QAction* about = window->Menus()->aboutMenu;
    about->trigger();
    about->trigger();
    QPointer<About> first = About::Current();
    ASSERT_TRUE(first);
    int open = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) open += qobject_cast<About*>(widget) && widget->isVisible();
    EXPECT_EQ(open, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    const QSize size = first->size();
    first->resize(size * 2);
    EXPECT_EQ(first->size(), size);
    EXPECT_FALSE(first->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(first->Canvas1->Backdrop().cacheKey(), egg_ic().cacheKey());
    EXPECT_TRUE(first->StaticText1->text().startsWith(QStringLiteral("xsc " XSC_VERSION)));

    first->close();  // disposes of it; choosing About again makes a new one
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);
    about->trigger();
    ASSERT_TRUE(About::Current());
    EXPECT_TRUE(About::Current()->isVisible());
    About::Current()->close();
}

TEST_F(WindowTest, CommandQEndsTheEventLoop) {
    QTimer::singleShot(0, window.get(), [this] { QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier); });
    QTimer::singleShot(5000, window.get(), [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
}

}  // namespace
}  // namespace xsc::test
