#include "FileChooser.h"

#include <QFileDialog>

#include "PathText.h"

namespace xsc {

std::optional<std::filesystem::path> QtFileChooser::GetOpenFolderItem(const std::string& filter) {
    const QString chosen =
        QFileDialog::getOpenFileName(parent_, QString(), QString(), QString::fromStdString(filter));
    if (chosen.isEmpty()) return std::nullopt;
    return PathFromQString(chosen);
}

}  // namespace xsc
