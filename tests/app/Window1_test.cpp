// The main window's design: title, sizes, buttons, the two controls, how they follow a resize.

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "AnchoredPane.h"
#include "AppTestSupport.h"
#include "MenuBar1.h"

namespace xsc::test {
namespace {

// Design figures: the content area below the menu bar, the field and the button in it.
const QSize kContent(323, 382);
const QRect kField(0, 0, 323, 348);
const QRect kButton(206, 353, 97, 22);
constexpr int kButtonRightMargin = 20;   // 323 - (206 + 97)
constexpr int kButtonBottomMargin = 7;   // 382 - (353 + 22)
constexpr int kFieldBottomStrip = 34;    // 382 - 348: the strip that holds the button

QSize ContentSize(const Window1& window) { return window.centralWidget()->size(); }

// Resizes the window so that its content area gets `content`, as far as the window allows.
void ResizeContent(Window1& window, const QSize& content) {
    const QSize frameExtra = window.size() - ContentSize(window);
    window.resize(content + frameExtra);
    QApplication::processEvents();
}

TEST(Window1, HasTheDesignedTitleSizeAndWindowButtons) {
    auto driven = MakeWindow();
    Window1& window = *driven.window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Compiler"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(ContentSize(window), kContent);
    EXPECT_TRUE(window.menuBar()->isVisible());
    EXPECT_NE(qobject_cast<MenuBar1*>(window.menuBar()), nullptr);

    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(window.isFullScreen());
    EXPECT_TRUE(driven.messages->shown.empty());
}

TEST(Window1, ScriptFieldIsAnEmptyPlainWhiteFieldThatPassesTabOn) {
    auto driven = MakeWindow();
    QPlainTextEdit* field = driven->ScriptFld;
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(driven->findChild<QPlainTextEdit*>(QStringLiteral("ScriptFld")), field);
    EXPECT_EQ(field->geometry(), kField);
    EXPECT_TRUE(field->toPlainText().isEmpty());
    EXPECT_FALSE(field->isReadOnly());
    EXPECT_TRUE(field->isEnabled());
    EXPECT_NE(field->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(field->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_NE(field->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_NE(field->focusPolicy() & Qt::TabFocus, 0);

    const QFont font = field->font();
    EXPECT_EQ(font.family(), QApplication::font().family());
    EXPECT_EQ(font.pointSize(), 10);
    EXPECT_FALSE(font.bold());
    EXPECT_FALSE(font.italic());
    EXPECT_FALSE(font.underline());
    EXPECT_EQ(field->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(field->palette().color(QPalette::Text), QColor(Qt::black));

    // Tab is not typed into the script: it is left to move the focus.
    EXPECT_TRUE(field->tabChangesFocus());
    QTest::keyClicks(field, QStringLiteral("ab"));
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_EQ(field->toPlainText(), QStringLiteral("ab"));
}

TEST(Window1, CompileButtonIsAFocuslessCaptionedButton) {
    auto driven = MakeWindow(/*activate=*/true);
    QPushButton* button = driven->BtnCompileScript;
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(driven->findChild<QPushButton*>(QStringLiteral("BtnCompileScript")), button);
    EXPECT_EQ(button->geometry(), kButton);
    EXPECT_EQ(button->text(), QStringLiteral("Compile Script"));
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(button->font().pointSize(), 10);
    EXPECT_FALSE(button->font().bold());

    // Pressing it leaves the keyboard focus in the script field.
    driven->ScriptFld->setFocus();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(driven->ScriptFld->hasFocus());
}

TEST(Window1, FieldGrowsAndButtonKeepsItsMarginsWhenResized) {
    auto driven = MakeWindow();
    for (const QSize content : {QSize(523, 532), QSize(400, 382), QSize(323, 700), QSize(160, 250)}) {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(content.width()).arg(content.height()).toStdString());
        ResizeContent(*driven.window, content);
        ASSERT_EQ(ContentSize(*driven.window), content);
        EXPECT_EQ(driven->ScriptFld->geometry(),
                  QRect(0, 0, content.width(), content.height() - kFieldBottomStrip));
        const QRect button = driven->BtnCompileScript->geometry();
        EXPECT_EQ(button.size(), kButton.size());
        EXPECT_EQ(content.width() - (button.x() + button.width()), kButtonRightMargin);
        EXPECT_EQ(content.height() - (button.y() + button.height()), kButtonBottomMargin);
    }
    // Back to the design size, everything is where it was designed.
    ResizeContent(*driven.window, kContent);
    EXPECT_EQ(driven->ScriptFld->geometry(), kField);
    EXPECT_EQ(driven->BtnCompileScript->geometry(), kButton);
}

TEST(Window1, CannotBeMadeSmallerThanTheMinimum) {
    auto driven = MakeWindow();
    ResizeContent(*driven.window, QSize(10, 10));
    EXPECT_EQ(ContentSize(*driven.window), QSize(130, 200));
    EXPECT_EQ(driven->ScriptFld->geometry(), QRect(0, 0, 130, 200 - kFieldBottomStrip));
    EXPECT_EQ(driven->BtnCompileScript->geometry(),
              QRect(130 - kButtonRightMargin - 97, 200 - kButtonBottomMargin - 22, 97, 22));
    EXPECT_EQ(driven->centralWidget()->maximumSize(), QSize(32000, 32000));
}

TEST(AnchoredRect, FollowsTheLockedEdgesOnEachAxis) {
    const QSize design(100, 80);
    const QRect rect(10, 20, 30, 40);
    const QSize grown(150, 60);  // 50 wider, 20 lower
    // Locked left and top only: stays put.
    EXPECT_EQ(AnchoredRect(rect, Qt::LeftEdge | Qt::TopEdge, design, grown), rect);
    // Locked to both horizontal edges: stretches; to the bottom only: moves up with it.
    EXPECT_EQ(AnchoredRect(rect, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge, design, grown),
              QRect(10, 0, 80, 40));
    // Locked right only: moves right; both vertical edges: shrinks.
    EXPECT_EQ(AnchoredRect(rect, Qt::RightEdge | Qt::TopEdge | Qt::BottomEdge, design, grown),
              QRect(60, 20, 30, 20));
    // Shrinking below nothing clamps the size at zero instead of going negative.
    EXPECT_EQ(AnchoredRect(rect, Qt::TopEdge | Qt::BottomEdge, design, QSize(100, 10)), QRect(10, 20, 30, 0));
}

}  // namespace
}  // namespace xsc::test
