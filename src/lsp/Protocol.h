#pragma once
// The protocol's shapes that every feature reads or writes: positions, ranges, locations, and
// the document and position a request is about. Reading throws rpc::InvalidParams naming what is
// missing, which the server answers with the invalid-params error.

#include <optional>
#include <string>

#include <QJsonObject>
#include <QString>

#include "engine/EngineBuild.h"
#include "lsp/TextDocument.h"

namespace xsc::engine {
class EngineTables;
}

namespace xsc::lsp {

class MapNamesCache;
class Workspace;

QJsonObject ToJson(Position position);
QJsonObject ToJson(const Range& range);
QJsonObject Location(const QString& uri, const Range& range);

// A JSON number as an integer, cut to what a document can hold (a number beyond the 64-bit range,
// or no number at all, must not become undefined behaviour): 0 for anything but a number.
std::int64_t ReadInteger(const QJsonValue& value);
Position ReadPosition(const QJsonValue& value);
// params.textDocument.uri
QString ReadUri(const QJsonObject& params);

// What every feature works with: the workspace, the engine's tables and the build they are read
// for, and the names of the map's things (none in a context without them).
struct FeatureContext {
    Workspace& workspace;
    const engine::EngineTables& tables;
    engine::EngineBuild build;
    MapNamesCache* mapNames = nullptr;
    // After a look-up in the map: empty when it was read, else why it could not be.
    std::optional<std::string> mapProblem = {};
};

// A request about a place in an open document.
struct DocumentPlace {
    TextDocument* document = nullptr;  // null when the client has not opened it
    std::size_t offset = 0;
};
DocumentPlace ReadDocumentPlace(Workspace& workspace, const QJsonObject& params);

// Markdown with the source language's code block first: "```hsc\n(sleep short)\n```\n\nfacts".
QString CodeAndFacts(const std::string& code, const std::string& facts);

}  // namespace xsc::lsp
