#include "lsp/Workspace.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QUrl>

#include "runtime/Utf8Path.h"

namespace xsc::lsp {

std::filesystem::path PathOfUri(const QString& uri) {
    const QUrl url(uri);
    if (!url.isLocalFile()) return {};
    return PathFromUtf8(url.toLocalFile().toStdString()).lexically_normal();
}

QString UriOfPath(const std::filesystem::path& path) {
    return QUrl::fromLocalFile(QDir::fromNativeSeparators(QString::fromStdString(Utf8(path)))).toString();
}

ScriptLanguage LanguageOf(const TextDocument& document) { return LanguageOfScript(PathOfUri(document.Uri()), document.Text()); }

QString DocumentKey(const QString& uri) {
    const std::filesystem::path path = PathOfUri(uri);
    if (path.empty()) return uri;
    const QString key = QDir::fromNativeSeparators(QString::fromStdString(Utf8(path)));
#ifdef _WIN32
    // Windows' names ignore letter case, and clients differ in the drive letter's ("c:", "C:").
    return key.toLower();
#else
    return key;
#endif
}

TextDocument& Workspace::Open(const QString& uri, std::string text, std::int64_t version) {
    Entry& entry = entries_[DocumentKey(uri)];
    entry.document = std::make_unique<TextDocument>(uri, std::move(text), version);
    entry.index.reset();
    entry.open = true;
    return *entry.document;
}

void Workspace::Close(const QString& uri) { entries_.erase(DocumentKey(uri)); }

TextDocument* Workspace::Find(const QString& uri) {
    const auto found = entries_.find(DocumentKey(uri));
    return found != entries_.end() && found->second.open ? found->second.document.get() : nullptr;
}

TextDocument* Workspace::FindSource(const QString& uri) {
    TextDocument* document = Find(uri);
    return document != nullptr && LanguageOf(*document) == ScriptLanguage::Source ? document : nullptr;
}

void Workspace::Changed(const QString& uri) {
    const auto found = entries_.find(DocumentKey(uri));
    if (found != entries_.end()) found->second.index.reset();
}

const SourceIndex& Workspace::IndexOf(const TextDocument& document) {
    Entry& entry = entries_.at(DocumentKey(document.Uri()));
    if (!entry.index) entry.index = std::make_unique<SourceIndex>(document);
    return *entry.index;
}

// As `xsc check` takes its arguments: each source in order, a folder's .hsc files (not those of
// its folders) sorted by name; a file named twice counts once, where it came first.
std::vector<std::filesystem::path> Workspace::SourceFiles() const {
    std::vector<std::filesystem::path> files;
    const auto add = [&](const std::filesystem::path& file) {
        if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
    };
    std::error_code error;
    for (const std::filesystem::path& source : config_.sources) {
        if (!std::filesystem::is_directory(source, error)) {
            add(source);
            continue;
        }
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::directory_iterator(source, error)) {
            if (entry.is_regular_file(error) && LanguageOfExtension(entry.path()) == ScriptLanguage::Source) {
                found.push_back(entry.path().lexically_normal());
            }
        }
        std::sort(found.begin(), found.end());
        for (const std::filesystem::path& file : found) add(file);
    }
    return files;
}

const TextDocument* Workspace::FromDisk(const std::filesystem::path& path) {
    const QString uri = UriOfPath(path);
    const QString key = DocumentKey(uri);
    std::error_code error;
    const std::filesystem::file_time_type modified = std::filesystem::last_write_time(path, error);
    Entry& entry = entries_[key];
    if (entry.open) return entry.document.get();
    if (entry.document && entry.modified == modified) return entry.document.get();
    QFile file(QString::fromStdString(Utf8(path)));
    if (!file.open(QIODevice::ReadOnly)) {
        entries_.erase(key);
        return nullptr;
    }
    entry.document = std::make_unique<TextDocument>(uri, file.readAll().toStdString(), 0);
    entry.index.reset();
    entry.modified = modified;
    return entry.document.get();
}

std::string Workspace::Label(const TextDocument& document) const {
    const std::filesystem::path path = PathOfUri(document.Uri());
    if (path.empty()) return document.Uri().toStdString();
    const std::filesystem::path relative = root_.empty() ? std::filesystem::path() : path.lexically_relative(root_);
    if (relative.empty() || *relative.begin() == "..") return Utf8(path);
    return Utf8(relative.generic_string());
}

std::vector<const TextDocument*> Workspace::ProgramOf(const QString& uri) {
    const TextDocument* self = Find(uri);
    const std::filesystem::path path = PathOfUri(uri);
    std::vector<const TextDocument*> program;
    if (!config_.sources.empty() && !path.empty()) {
        const std::vector<std::filesystem::path> files = SourceFiles();
        const QString key = DocumentKey(uri);
        const bool inProgram = std::any_of(files.begin(), files.end(), [&](const auto& file) { return DocumentKey(UriOfPath(file)) == key; });
        if (inProgram) {
            for (const std::filesystem::path& file : files) {
                if (const TextDocument* document = FromDisk(file)) program.push_back(document);
            }
            return program;
        }
    }
    if (self != nullptr) program.push_back(self);
    return program;
}

}  // namespace xsc::lsp
