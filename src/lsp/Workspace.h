#pragma once
// The workspace one server serves: its root folder, its configuration, the documents the client
// has open, and the program each document belongs to.
//
// With `sources` configured, a document among them belongs to one program with every other file
// they name, as `xsc check` would take them: the client's text for the files it has open, the file
// on disk for the others (read again when it changes on disk). Any other document is a program of
// its own.

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <QString>

#include "compile/ScriptLanguageChoice.h"
#include "lsp/ProjectConfig.h"
#include "lsp/SourceIndex.h"
#include "lsp/TextDocument.h"

namespace xsc::lsp {

class Workspace {
public:
    void SetRoot(std::filesystem::path root) { root_ = std::move(root); }
    const std::filesystem::path& Root() const { return root_; }
    void SetConfig(ProjectConfig config) { config_ = std::move(config); }
    const ProjectConfig& Config() const { return config_; }
    void SetEncoding(PositionEncoding encoding) { encoding_ = encoding; }
    PositionEncoding Encoding() const { return encoding_; }

    TextDocument& Open(const QString& uri, std::string text, std::int64_t version);
    void Close(const QString& uri);
    // An open document; null when the client has not opened it.
    TextDocument* Find(const QString& uri);
    // The same, for a document in the source language; null for XML.
    TextDocument* FindSource(const QString& uri);
    // Call after changing an open document's text.
    void Changed(const QString& uri);

    // The documents of the program `uri` belongs to, in the order of `sources`.
    std::vector<const TextDocument*> ProgramOf(const QString& uri);
    const SourceIndex& IndexOf(const TextDocument& document);
    // How diagnostics and messages name a document: its path from the root, else its whole path
    // or URI.
    std::string Label(const TextDocument& document) const;

private:
    struct Entry {
        std::unique_ptr<TextDocument> document;
        std::unique_ptr<SourceIndex> index;  // made on first use after each change
        bool open = false;
        std::filesystem::file_time_type modified{};  // a closed source's, when read
    };
    std::vector<std::filesystem::path> SourceFiles() const;
    const TextDocument* FromDisk(const std::filesystem::path& path);

    std::filesystem::path root_;
    ProjectConfig config_;
    PositionEncoding encoding_ = PositionEncoding::Utf16;
    std::map<QString, Entry> entries_;  // by DocumentKey
};

// The language of a document: its file's extension, else its first character, as `xsc check`
// tells them. The features other than diagnostics serve the source language only.
ScriptLanguage LanguageOf(const TextDocument& document);

// A document's key: its file's path for file: URIs (clients spell those differently), else the
// URI itself.
QString DocumentKey(const QString& uri);
std::filesystem::path PathOfUri(const QString& uri);
QString UriOfPath(const std::filesystem::path& path);

}  // namespace xsc::lsp
