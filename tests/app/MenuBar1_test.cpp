// The menu bar: entries, items, captions, separators, shortcuts, and what the commands do.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeySequence>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "About.h"
#include "AppTestSupport.h"
#include "MenuBar1.h"
#include "support/TestFiles.h"

namespace xsc::test {
namespace {

struct ExpectedItem {
    const char* name;
    const char* caption;   // "-" for a separator
    const char* shortcut;  // "" for none; Ctrl is the command key
};

const std::vector<ExpectedItem> kFileItems = {
    {"FileLoadmap", "&Load map", "Ctrl+L"},
    {"Filej", "-", ""},
    {"FileQuit", "&Quit", "Ctrl+Q"},
};

const std::vector<ExpectedItem> kEditItems = {
    {"EditUndo", "&Undo", "Ctrl+Z"},     {"UntitledMenu1", "-", ""},
    {"EditCut", "Cu&t", "Ctrl+X"},       {"EditCopy", "&Copy", "Ctrl+C"},
    {"EditPaste", "&Paste", "Ctrl+V"},   {"EditClear", "&Delete", ""},
    {"UntitledMenu0", "-", ""},          {"EditSelectAll", "Select &All", "Ctrl+A"},
};

void ExpectItems(const QMenu* menu, const std::vector<ExpectedItem>& expected) {
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const QAction* action = actions[static_cast<qsizetype>(i)];
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(action->objectName(), QString::fromLatin1(expected[i].name));
        const bool separator = QString::fromLatin1(expected[i].caption) == QStringLiteral("-");
        EXPECT_EQ(action->isSeparator(), separator);
        if (!separator) {
            EXPECT_EQ(action->text(), QString::fromLatin1(expected[i].caption));
        }
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(expected[i].shortcut)));
        EXPECT_EQ(action->menu(), nullptr);
    }
}

TEST(MenuBar1, HasFileEditAndAboutInOrderWithTheirItems) {
    auto driven = MakeWindow();
    const QList<QAction*> entries = driven->menuBar()->actions();
    ASSERT_EQ(entries.size(), 3);
    const char* names[] = {"FileMenu", "EditMenu", "aboutMenu"};
    const char* captions[] = {"&File", "&Edit", "&About"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(entries[i]->objectName(), QString::fromLatin1(names[i]));
        EXPECT_EQ(entries[i]->text(), QString::fromLatin1(captions[i]));
        EXPECT_TRUE(entries[i]->shortcut().isEmpty());  // menu titles have no shortcut
        EXPECT_EQ(driven->MenuItem(QString::fromLatin1(names[i])), entries[i]);
    }
    ASSERT_NE(entries[0]->menu(), nullptr);
    ASSERT_NE(entries[1]->menu(), nullptr);
    EXPECT_EQ(entries[0]->menu()->objectName(), QStringLiteral("FileMenu"));
    EXPECT_EQ(entries[1]->menu()->objectName(), QStringLiteral("EditMenu"));
    EXPECT_EQ(entries[2]->menu(), nullptr);  // About is an entry without items
    ExpectItems(entries[0]->menu(), kFileItems);
    ExpectItems(entries[1]->menu(), kEditItems);

    // Every name leads to its item through the window's lookup.
    for (const auto* items : {&kFileItems, &kEditItems}) {
        for (const ExpectedItem& item : *items) {
            const QAction* found = driven->MenuItem(QString::fromLatin1(item.name));
            ASSERT_NE(found, nullptr) << item.name;
            EXPECT_EQ(found->objectName(), QString::fromLatin1(item.name));
        }
    }
    EXPECT_EQ(driven->MenuItem(QStringLiteral("NoSuchItem")), nullptr);
}

TEST(MenuBar1, EditCommandsActOnTheScriptFieldAndEnableThemselves) {
    auto driven = MakeWindow(/*activate=*/true);
    QPlainTextEdit* field = driven->ScriptFld;
    auto item = [&](const char* name) { return driven->MenuItem(QString::fromLatin1(name)); };
    QApplication::clipboard()->clear();

    // Nothing to undo, nothing selected.
    EXPECT_FALSE(item("EditUndo")->isEnabled());
    EXPECT_FALSE(item("EditCopy")->isEnabled());
    EXPECT_FALSE(item("EditCut")->isEnabled());
    EXPECT_FALSE(item("EditClear")->isEnabled());
    EXPECT_TRUE(item("EditSelectAll")->isEnabled());

    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("<Scripts/>"));
    EXPECT_TRUE(item("EditUndo")->isEnabled());

    item("EditSelectAll")->trigger();
    EXPECT_EQ(field->textCursor().selectedText(), QStringLiteral("<Scripts/>"));
    EXPECT_TRUE(item("EditCopy")->isEnabled());
    EXPECT_TRUE(item("EditClear")->isEnabled());

    item("EditCopy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("<Scripts/>"));
    EXPECT_TRUE(item("EditPaste")->isEnabled());

    item("EditClear")->trigger();
    EXPECT_EQ(field->toPlainText(), QString());
    EXPECT_FALSE(item("EditCopy")->isEnabled());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("<Scripts/>"));  // Delete keeps it

    item("EditPaste")->trigger();
    item("EditPaste")->trigger();
    EXPECT_EQ(field->toPlainText(), QStringLiteral("<Scripts/><Scripts/>"));

    item("EditUndo")->trigger();
    EXPECT_EQ(field->toPlainText(), QStringLiteral("<Scripts/>"));

    item("EditSelectAll")->trigger();
    item("EditCut")->trigger();
    EXPECT_EQ(field->toPlainText(), QString());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("<Scripts/>"));
    EXPECT_TRUE(driven.messages->shown.empty());
}

TEST(MenuBar1, CommandLRunsTheSameLoadAsTheMenuItem) {
    auto driven = MakeWindow(/*activate=*/true);
    driven.chooser->answers.push_back(std::nullopt);
    QTest::keyClick(driven.window.get(), Qt::Key_L, Qt::ControlModifier);
    ASSERT_EQ(driven.chooser->filtersAsked.size(), 1u);
    EXPECT_EQ(driven.chooser->filtersAsked[0], "Halo map (*.map)");

    // The same chooser, the same filter as the menu item.
    driven->MenuItem(QStringLiteral("FileLoadmap"))->trigger();
    ASSERT_EQ(driven.chooser->filtersAsked.size(), 2u);
    EXPECT_EQ(driven.chooser->filtersAsked[1], driven.chooser->filtersAsked[0]);
    EXPECT_TRUE(driven.messages->shown.empty());
}

TEST(MenuBar1, CommandLStillLoadsWhileTheAboutWindowIsInFront) {
    auto driven = MakeWindow(/*activate=*/true);
    driven->MenuItem(QStringLiteral("aboutMenu"))->trigger();
    About* about = About::Current();
    ASSERT_NE(about, nullptr);
    about->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(about));
    QTest::keyClick(about, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(driven.chooser->filtersAsked.size(), 1u);
    about->close();
}

TEST(MenuBar1, QuitEndsTheEventLoop) {
    auto driven = MakeWindow();
    bool timedOut = false;
    QTimer::singleShot(0, driven.window.get(), [&] { driven->MenuItem(QStringLiteral("FileQuit"))->trigger(); });
    QTimer::singleShot(5000, driven.window.get(), [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
}

}  // namespace
}  // namespace xsc::test
