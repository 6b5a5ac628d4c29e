// The window's design: the window and its two controls, how they follow a resize, the menu bar,
// the About window and Quit.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include "About.h"
#include "AppTestSupport.h"
#include "Canvas.h"
#include "EggPicture.h"
#include "MenuBar1.h"

namespace xsc::test {
namespace {

TEST_F(WindowTest, WindowAndControlsHaveTheirDesignedProperties) {
    const QPlainTextEdit* field = window->ScriptFld;
    const QPushButton* button = window->BtnCompileScript;
    const Qt::WindowFlags flags = window->windowFlags();
    const QFont fieldFont = field->font();
    const struct { const char* what; bool holds; } checks[] = {
        {"title", window->windowTitle() == QStringLiteral("Compiler")},
        {"content size", window->centralWidget()->size() == QSize(323, 382)},
        {"maximum size", window->centralWidget()->maximumSize() == QSize(32000, 32000)},
        {"close and minimize but no maximize", flags.testFlag(Qt::WindowCloseButtonHint) &&
             flags.testFlag(Qt::WindowMinimizeButtonHint) && !flags.testFlag(Qt::WindowMaximizeButtonHint)},
        {"menu bar", qobject_cast<MenuBar1*>(window->menuBar()) && window->menuBar()->isVisible()},
        {"field place", field->geometry() == QRect(0, 0, 323, 348)},
        {"field empty and editable", field->toPlainText().isEmpty() && !field->isReadOnly()},
        {"field scrolls vertically only", field->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff &&
             field->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff},
        {"field has a border", field->frameShape() != QFrame::NoFrame},
        {"field font", fieldFont.family() == QApplication::font().family() && fieldFont.pointSize() == 10 &&
             !fieldFont.bold() && !fieldFont.italic() && !fieldFont.underline()},
        {"field black on white", field->palette().color(QPalette::Base) == Qt::white &&
             field->palette().color(QPalette::Text) == Qt::black},
        {"field passes Tab on", field->tabChangesFocus()},
        {"button place", button->geometry() == QRect(206, 353, 97, 22)},
        {"button caption", button->text() == QStringLiteral("Compile Script")},
        {"button takes no focus", button->focusPolicy() == Qt::NoFocus},
        {"button font", button->font().pointSize() == 10 && !button->font().bold()},
        {"button enabled", button->isEnabled()},
    };
    for (const auto& check : checks) EXPECT_TRUE(check.holds) << check.what;

    QTest::keyClicks(window->ScriptFld, QStringLiteral("ab"));
    QTest::keyClick(window->ScriptFld, Qt::Key_Tab);
    EXPECT_EQ(window->ScriptFld->toPlainText(), QStringLiteral("ab"));  // Tab is not typed
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

// Each row: the menu path of the item, its caption ("-": separator) and its shortcut; Ctrl is
// the command key. Titles and "&Delete" have no shortcut, About is an entry without items.
void Describe(const QList<QAction*>& actions, const QString& path, QStringList& rows) {
    for (const QAction* action : actions) {
        rows << path + action->objectName() + QLatin1Char('|') + (action->isSeparator() ? "-" : action->text()) +
                    QLatin1Char('|') + action->shortcut().toString(QKeySequence::PortableText);
        if (action->menu()) Describe(action->menu()->actions(), action->objectName() + QLatin1Char('/'), rows);
    }
}

TEST_F(WindowTest, MenuBarHasItsItemsInOrder) {
    QStringList rows;
    Describe(window->menuBar()->actions(), QString(), rows);
    EXPECT_EQ(rows.join(QLatin1Char('\n')).toStdString(),
              "FileMenu|&File|\n"
              "FileMenu/FileLoadmap|&Load map|Ctrl+L\n"
              "FileMenu/Filej|-|\n"
              "FileMenu/FileQuit|&Quit|Ctrl+Q\n"
              "EditMenu|&Edit|\n"
              "EditMenu/EditUndo|&Undo|Ctrl+Z\n"
              "EditMenu/UntitledMenu1|-|\n"
              "EditMenu/EditCut|Cu&t|Ctrl+X\n"
              "EditMenu/EditCopy|&Copy|Ctrl+C\n"
              "EditMenu/EditPaste|&Paste|Ctrl+V\n"
              "EditMenu/EditClear|&Delete|\n"
              "EditMenu/UntitledMenu0|-|\n"
              "EditMenu/EditSelectAll|Select &All|Ctrl+A\n"
              "aboutMenu|&About|");
    EXPECT_EQ(window->MenuItem(QStringLiteral("EditCopy")), window->menuBar()->actions()[1]->menu()->actions()[3]);
}

// The editing items act on the script field.
TEST_F(WindowTest, EditItemsActOnTheScriptField) {
    auto item = [this](const char* name) { window->MenuItem(QString::fromLatin1(name))->trigger(); };
    const auto text = [this] { return window->ScriptFld->toPlainText().toStdString(); };
    window->ScriptFld->setFocus();
    QTest::keyClicks(window->ScriptFld, QStringLiteral("ab"));
    item("EditSelectAll");
    item("EditCopy");
    item("EditClear");
    EXPECT_EQ(text(), "");
    item("EditPaste");
    item("EditPaste");
    EXPECT_EQ(text(), "abab");
    item("EditUndo");
    EXPECT_EQ(text(), "ab");
    QApplication::clipboard()->clear();
    item("EditSelectAll");
    item("EditCut");
    EXPECT_EQ(text(), "");
    item("EditPaste");
    EXPECT_EQ(text(), "ab");
}

TEST_F(WindowTest, AboutIsOneFixedSizeNonModalWindowAtATime) {
    QAction* about = window->MenuItem(QStringLiteral("aboutMenu"));
    about->trigger();
    about->trigger();
    QPointer<About> first = About::Current();
    ASSERT_TRUE(first);
    int open = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) open += qobject_cast<About*>(widget) && widget->isVisible();
    EXPECT_EQ(open, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    first->resize(600, 400);
    EXPECT_EQ(first->size(), QSize(424, 185));
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

TEST_F(WindowTest, QuitEndsTheEventLoop) {
    QTimer::singleShot(0, window.get(), [this] { window->MenuItem(QStringLiteral("FileQuit"))->trigger(); });
    QTimer::singleShot(5000, window.get(), [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
}

}  // namespace
}  // namespace xsc::test
