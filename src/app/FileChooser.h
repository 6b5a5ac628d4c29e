#pragma once
// The open-file chooser the load command asks for a map. Behind an interface so the tests can
// answer it without a human.

#include <filesystem>
#include <optional>
#include <string>

class QWidget;

namespace xsc {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // Asks for one existing file of the type `filter` describes ("Halo map (*.map)"); nothing
    // when the user cancels.
    virtual std::optional<std::filesystem::path> GetOpenFolderItem(const std::string& filter) = 0;
};

// The toolkit's open-file dialog, modal over `parent`.
class QtFileChooser : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent) : parent_(parent) {}
    std::optional<std::filesystem::path> GetOpenFolderItem(const std::string& filter) override;

private:
    QWidget* parent_;
};

}  // namespace xsc
