#include "CommandMessages.h"

#include <QCoreApplication>

#include "PathText.h"
#include "runtime/Error.h"

namespace xsc {
namespace {

QString Tr(const char* text) { return QCoreApplication::translate("Window1", text); }

QString FileName(const std::filesystem::path& path) { return QStringFromPath(path.filename()); }

}  // namespace

QString DescribeError(const Error& error) {
    const QString what = QString::fromStdString(error.what());
    if (error.subject() != Error::Subject::Script || error.line() <= 0) return what;
    // The message starts with "line:column: "; say it in words instead.
    const QString prefix = QStringLiteral("%1:%2: ").arg(error.line()).arg(error.column());
    const QString reason = what.startsWith(prefix) ? what.mid(prefix.size()) : what;
    return Tr("Line %1, column %2: %3").arg(error.line()).arg(error.column()).arg(reason);
}

QString LoadFailedText(const std::filesystem::path& chosen, const QString& reason,
                       const std::optional<std::filesystem::path>& stillLoaded) {
    QString text = Tr("The map \"%1\" could not be loaded:\n%2").arg(FileName(chosen), reason);
    if (stillLoaded) {
        text += Tr("\n\nThe map \"%1\" stays loaded.").arg(FileName(*stillLoaded));
    }
    return text;
}

QString CompileFailedText(const std::optional<std::filesystem::path>& map, const QString& reason) {
    if (!map) return reason;
    return Tr("The script was not compiled into \"%1\":\n%2").arg(FileName(*map), reason);
}

QString RecoveryText(const std::filesystem::path& map, const std::string& found) {
    if (found.empty()) return {};
    return Tr("\"%1\": %2.").arg(FileName(map), QString::fromStdString(found));
}

}  // namespace xsc
