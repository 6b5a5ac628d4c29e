// The window's behaviour beyond its two commands: Tab, how the controls follow a resize, the
// editing items, the About window and Quit. How the window and its menus look is checked by the
// pictures scripts/screenshot renders.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
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

// The editing items act on the script field; Copy leaves the text and Delete the clipboard.
TEST_F(WindowTest, EditItemsActOnTheScriptField) {
    const MenuBar1& menu = *window->Menus();
    QClipboard* clipboard = QApplication::clipboard();
    const auto text = [this] { return window->ScriptFld->toPlainText().toStdString(); };
    window->ScriptFld->setFocus();
    QTest::keyClicks(window->ScriptFld, QStringLiteral("ab"));
    menu.EditSelectAll->trigger();
    menu.EditCut->trigger();
    EXPECT_EQ(text(), "");
    menu.EditPaste->trigger();
    menu.EditPaste->trigger();
    EXPECT_EQ(text(), "abab");
    menu.EditUndo->trigger();
    EXPECT_EQ(text(), "ab");
    clipboard->setText(QStringLiteral("x"));
    menu.EditSelectAll->trigger();
    menu.EditCopy->trigger();
    EXPECT_EQ(text(), "ab");
    EXPECT_EQ(clipboard->text(), QStringLiteral("ab"));
    clipboard->setText(QStringLiteral("x"));
    menu.EditClear->trigger();
    EXPECT_EQ(text(), "");
    menu.EditPaste->trigger();
    EXPECT_EQ(text(), "x");
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
