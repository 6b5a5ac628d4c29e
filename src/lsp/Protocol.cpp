#include "lsp/Protocol.h"

#include <algorithm>

#include "lsp/JsonRpc.h"
#include "lsp/Workspace.h"

namespace xsc::lsp {

QJsonObject ToJson(Position position) {
    return {{"line", static_cast<qint64>(position.line)}, {"character", static_cast<qint64>(position.character)}};
}

QJsonObject ToJson(const Range& range) { return {{"start", ToJson(range.start)}, {"end", ToJson(range.end)}}; }

QJsonObject Location(const QString& uri, const Range& range) { return {{"uri", uri}, {"range", ToJson(range)}}; }

std::int64_t ReadInteger(const QJsonValue& value) {
    // Positions and versions stay far below 2^53, where every integer is a double.
    constexpr double kLimit = 9007199254740992.0;
    const double number = value.toDouble();
    return static_cast<std::int64_t>(std::clamp(number, -kLimit, kLimit));
}

Position ReadPosition(const QJsonValue& value) {
    const QJsonObject object = value.toObject();
    const QJsonValue line = object.value("line"), character = object.value("character");
    if (!line.isDouble() || !character.isDouble() || line.toDouble() < 0 || character.toDouble() < 0) {
        throw rpc::InvalidParams{"a position is {\"line\": n, \"character\": n} with numbers from 0"};
    }
    return {ReadInteger(line), ReadInteger(character)};
}

QString ReadUri(const QJsonObject& params) {
    const QJsonValue uri = params.value("textDocument").toObject().value("uri");
    if (!uri.isString()) throw rpc::InvalidParams{"textDocument.uri is missing"};
    return uri.toString();
}

DocumentPlace ReadDocumentPlace(Workspace& workspace, const QJsonObject& params) {
    const QString uri = ReadUri(params);
    const Position position = ReadPosition(params.value("position"));
    DocumentPlace place;
    place.document = workspace.FindSource(uri);
    if (place.document != nullptr) place.offset = place.document->Offset(position, workspace.Encoding());
    return place;
}

QString CodeAndFacts(const std::string& code, const std::string& facts) {
    return QString::fromStdString("```hsc\n" + code + "\n```\n\n" + facts);
}

}  // namespace xsc::lsp
