#pragma once
// Driving the main window without a human: a chooser that answers from a queue, a message box
// that records what it would have shown, and a window built with both.

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "Window1.h"

namespace xsc::test {

class QueuedChooser : public FileChooser {
public:
    // Answers in order; cancels (nothing) once the queue is empty.
    std::deque<std::optional<std::filesystem::path>> answers;
    std::vector<std::string> filtersAsked;

    std::optional<std::filesystem::path> GetOpenFolderItem(const std::string& filter) override;
};

class RecordedMessages : public MessageBox {
public:
    struct Shown {
        bool error;
        QString text;
    };
    std::vector<Shown> shown;

    void MsgBox(const QString& text) override { shown.push_back({false, text}); }
    void ErrorBox(const QString& text) override { shown.push_back({true, text}); }
};

// A window whose dialogs the test answers and reads.
struct DrivenWindow {
    QueuedChooser* chooser;
    RecordedMessages* messages;
    std::unique_ptr<Window1> window;

    Window1* operator->() const { return window.get(); }
};

// A new window, shown (and, when `activate`, active so its shortcuts work).
DrivenWindow MakeWindow(bool activate = false);

// Chooses `map` in the window's File > Load map.
void LoadThroughMenu(DrivenWindow& driven, const std::filesystem::path& map);

}  // namespace xsc::test
