#pragma once
// Driving the main window without a human: a chooser that gives the answer the test set, a
// message box that records what it would have shown, and a shown, active window built with both.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Window1.h"
#include "support/TestFiles.h"

namespace xsc::test {

struct AnsweringChooser : FileChooser {
    std::optional<std::filesystem::path> answer;  // nothing: the user cancels
    std::vector<std::string> filters;             // every filter asked for
    std::optional<std::filesystem::path> GetOpenFolderItem(const std::string& filter) override {
        filters.push_back(filter);
        return answer;
    }
};

// "done!" for a notice, "error: <text>" for an error box.
struct RecordedMessages : MessageBox {
    std::vector<std::string> shown;
    void MsgBox(const QString& text) override { shown.push_back(text.toStdString()); }
    void ErrorBox(const QString& text) override { shown.push_back("error: " + text.toStdString()); }
};

class WindowTest : public ::testing::Test {
protected:
    WindowTest();
    // File > Load map, the chooser answering `map` (nothing: cancel).
    void Load(const std::optional<std::filesystem::path>& map);

    TempDir dir;
    AnsweringChooser* chooser = new AnsweringChooser;  // both owned by the window
    RecordedMessages* messages = new RecordedMessages;
    std::unique_ptr<Window1> window;
};

}  // namespace xsc::test
