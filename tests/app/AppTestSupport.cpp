#include "AppTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace xsc::test {
namespace {

// The offscreen platform warns that it cannot do what only a real window manager does (size
// hints, raising); those warnings say nothing about the code under test.
QtMessageHandler defaultHandler = nullptr;
void QuietPlatformWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QStringLiteral("This plugin does not support"))) return;
    defaultHandler(type, context, message);
}

// One application object for the whole test program; offscreen unless told otherwise.
class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        defaultHandler = qInstallMessageHandler(QuietPlatformWarnings);
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override {
        app_.reset();
        qInstallMessageHandler(defaultHandler);
    }

private:
    int argc_ = 1;
    char name_[16] = "xsc_app_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

std::optional<std::filesystem::path> QueuedChooser::GetOpenFolderItem(const std::string& filter) {
    filtersAsked.push_back(filter);
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
}

DrivenWindow MakeWindow(bool activate) {
    auto chooser = std::make_unique<QueuedChooser>();
    auto messages = std::make_unique<RecordedMessages>();
    DrivenWindow driven{chooser.get(), messages.get(), nullptr};
    driven.window = std::make_unique<Window1>(Window1::Services{std::move(chooser), std::move(messages)});
    driven.window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(driven.window.get()));
    if (activate) {
        driven.window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(driven.window.get()));
    }
    return driven;
}

void LoadThroughMenu(DrivenWindow& driven, const std::filesystem::path& map) {
    driven.chooser->answers.push_back(map);
    driven->MenuItem(QStringLiteral("FileLoadmap"))->trigger();
}

}  // namespace xsc::test
