// The About window: one at a time, fixed size, the picture and the credit text.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include "About.h"
#include "AppTestSupport.h"
#include "Canvas.h"
#include "EggPicture.h"
#include "mapgen/MapGenerator.h"
#include "support/CompileFixture.h"
#include "support/TestFiles.h"

namespace xsc::test {
namespace {

int OpenAboutWindows() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<About*>(widget) && widget->isVisible()) ++count;
    }
    return count;
}

void CloseAndDispose(About* about) {
    about->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(About, ChoosingAboutTwiceLeavesOneNonModalWindow) {
    auto driven = MakeWindow();
    QAction* aboutItem = driven->MenuItem(QStringLiteral("aboutMenu"));
    aboutItem->trigger();
    QPointer<About> first = About::Current();
    ASSERT_NE(first, nullptr);
    aboutItem->trigger();
    EXPECT_EQ(About::Current(), first.data());
    EXPECT_EQ(OpenAboutWindows(), 1);

    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("About"));
    EXPECT_FALSE(first->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(first->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(first->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(first->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    CloseAndDispose(first);
}

TEST(About, HasAFixedSizeThatResizingDoesNotChange) {
    auto driven = MakeWindow();
    About* about = About::Open(driven.window.get());
    EXPECT_EQ(about->size(), QSize(424, 185));
    EXPECT_EQ(about->minimumSize(), QSize(424, 185));
    EXPECT_EQ(about->maximumSize(), QSize(424, 185));
    about->resize(600, 400);
    EXPECT_EQ(about->size(), QSize(424, 185));
    CloseAndDispose(about);
}

TEST(About, ShowsTheEggPictureAndTheCreditText) {
    auto driven = MakeWindow();
    About* about = About::Open(driven.window.get());
    QApplication::processEvents();

    auto* canvas = about->findChild<Canvas*>(QStringLiteral("Canvas1"));
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->geometry(), QRect(0, 0, 185, 185));
    EXPECT_EQ(canvas->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(canvas->Backdrop().isNull());
    EXPECT_EQ(canvas->Backdrop().size(), QSize(185, 185));
    EXPECT_EQ(canvas->Backdrop().cacheKey(), egg_ic().cacheKey());

    auto* credits = about->findChild<QLabel*>(QStringLiteral("StaticText1"));
    ASSERT_NE(credits, nullptr);
    EXPECT_EQ(credits->geometry(), QRect(187, 0, 237, 185));
    EXPECT_TRUE(credits->wordWrap());
    const QString text = credits->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("xsc " XSC_VERSION "\n"))) << text.toStdString();
    EXPECT_TRUE(text.trimmed().split(QLatin1Char('\n')).last().startsWith(QStringLiteral("Thanks")));
    CloseAndDispose(about);
}

TEST(About, ThePictureIsLoadedOnceAndSharedByEveryWindow) {
    const QImage& first = egg_ic();
    const QImage& second = egg_ic();
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(first.cacheKey(), second.cacheKey());
    EXPECT_FALSE(first.isNull());
}

TEST(About, ClosingItDisposesOfItAndLeavesTheMainWindowAsItWas) {
    TempDir dir;
    const auto map = dir / "m.map";
    mapgen::WriteMap(map, SmallMap(3));
    auto driven = MakeWindow();
    LoadThroughMenu(driven, map);
    driven->ScriptFld->setPlainText(QStringLiteral("<Scripts/>"));

    driven->MenuItem(QStringLiteral("aboutMenu"))->trigger();
    QPointer<About> first = About::Current();
    ASSERT_NE(first, nullptr);
    CloseAndDispose(first);
    EXPECT_EQ(first, nullptr);  // gone with its close
    EXPECT_EQ(About::Current(), nullptr);
    EXPECT_EQ(OpenAboutWindows(), 0);

    EXPECT_TRUE(driven->isVisible());
    EXPECT_EQ(driven->LoadedMap.f, map);
    EXPECT_EQ(driven->LoadedMap.TagCount, SmallMap(3).tagCount);
    EXPECT_EQ(driven->ScriptFld->toPlainText(), QStringLiteral("<Scripts/>"));

    // Choosing About again makes a new window.
    driven->MenuItem(QStringLiteral("aboutMenu"))->trigger();
    QPointer<About> second = About::Current();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(OpenAboutWindows(), 1);
    CloseAndDispose(second);
    EXPECT_TRUE(driven.messages->shown.empty());
}

}  // namespace
}  // namespace xsc::test
