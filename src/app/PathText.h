#pragma once
// Conversions between the toolkit's file names and std::filesystem paths, in UTF-16 on both
// sides so no file name is mangled by a narrow encoding on the way.

#include <filesystem>

#include <QString>

namespace xsc {

inline std::filesystem::path PathFromQString(const QString& name) {
    return std::filesystem::path(name.toStdU16String());
}

inline QString QStringFromPath(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

}  // namespace xsc
