#include "CommandMessages.h"

#include <QCoreApplication>

#include "PathText.h"
#include "runtime/Error.h"

namespace xsc {
namespace {

QString Tr(const char* text) { return QCoreApplication::translate("Window1", text); }

QString FileName(const std::filesystem::path& path) { return QStringFromPath(path.filename()); }

QString AtPosition(std::int64_t line, std::int64_t column, const QString& reason) {
    return Tr("Line %1, column %2: %3").arg(line).arg(column).arg(reason);
}

}  // namespace

QString DescribeError(const Error& error) {
    const QString what = QString::fromStdString(error.what());
    if (error.subject() != Error::Subject::Script || error.line() <= 0) return what;
    // The message starts with "line:column: "; say it in words instead.
    const QString prefix = QStringLiteral("%1:%2: ").arg(error.line()).arg(error.column());
    return AtPosition(error.line(), error.column(), what.startsWith(prefix) ? what.mid(prefix.size()) : what);
}

QString DescribeDiagnostic(const Diagnostic& diagnostic) {
    const QString message = QString::fromStdString(diagnostic.message);
    if (diagnostic.line <= 0) return message;
    return AtPosition(diagnostic.line, diagnostic.column, message);
}

QString ScriptErrorsText(const std::vector<Diagnostic>& errors) {
    QStringList lines;
    for (const Diagnostic& d : errors) lines << DescribeDiagnostic(d);
    return lines.join(QLatin1Char('\n'));
}

QString CompileWarningsText(const std::filesystem::path& map, const std::vector<Diagnostic>& warnings,
                            const std::vector<Diagnostic>& mapWarnings) {
    QStringList lines;
    const std::size_t count = warnings.size() + mapWarnings.size();
    lines << (count == 1 ? Tr("The check found 1 warning:")
                         : Tr("The check found %1 warnings:").arg(count));
    for (const Diagnostic& d : warnings) lines << DescribeDiagnostic(d);
    for (const Diagnostic& d : mapWarnings) {
        lines << Tr("\"%1\": %2").arg(FileName(map), QString::fromStdString(d.message));
    }
    lines << QString() << Tr("Compile it into \"%1\" anyway?").arg(FileName(map));
    return lines.join(QLatin1Char('\n'));
}

QString LoadFailedText(const std::filesystem::path& chosen, const QString& reason,
                       const std::optional<std::filesystem::path>& stillLoaded) {
    QString text = Tr("The map \"%1\" could not be loaded:\n%2").arg(FileName(chosen), reason);
    if (stillLoaded) {
        text += Tr("\n\nThe map \"%1\" stays loaded.").arg(FileName(*stillLoaded));
    }
    return text;
}

QString WindowTitleText(const std::optional<std::filesystem::path>& map) {
    if (!map) return Tr("Compiler");
    return Tr("Compiler - %1").arg(FileName(*map));
}

QString CompileFailedText(const std::optional<std::filesystem::path>& map, const QString& reason) {
    if (!map) return reason;
    return Tr("The script was not compiled into \"%1\":\n%2").arg(FileName(*map), reason);
}

QString DecompileFailedText(const std::optional<std::filesystem::path>& map, const QString& reason) {
    if (!map) return reason;
    return Tr("The scripts of \"%1\" could not be decompiled:\n%2").arg(FileName(*map), reason);
}

QString RecoveryText(const std::filesystem::path& map, const std::string& found) {
    if (found.empty()) return {};
    return Tr("\"%1\": %2.").arg(FileName(map), QString::fromStdString(found));
}

}  // namespace xsc
