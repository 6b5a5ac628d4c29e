#include "AppTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QtTest/QTest>

#include "MenuBar1.h"

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

}  // namespace

WindowTest::WindowTest()
    : window(std::make_unique<Window1>(
          Window1::Services{std::unique_ptr<FileChooser>(chooser), std::unique_ptr<MessageBox>(messages)})) {
    window->show();
    window->activateWindow();  // so that its shortcuts work
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
}

void WindowTest::Load(const std::optional<std::filesystem::path>& map) {
    chooser->answer = map;
    window->Menus()->FileLoadmap->trigger();
}

}  // namespace xsc::test
