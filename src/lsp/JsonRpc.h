#pragma once
// JSON-RPC 2.0 as the Language Server Protocol uses it: requests (an id and a method), their
// responses (the id and a result, or an error with a code and a message) and notifications (a
// method, no id, never answered).

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace xsc::lsp::rpc {

// Error codes: JSON-RPC's own, then the protocol's.
inline constexpr int kParseError = -32700;       // the body is no JSON
inline constexpr int kInvalidRequest = -32600;   // JSON, but no request or notification
inline constexpr int kMethodNotFound = -32601;
inline constexpr int kInvalidParams = -32602;
inline constexpr int kInternalError = -32603;
inline constexpr int kServerNotInitialized = -32002;
inline constexpr int kRequestFailed = -32803;    // valid, but the server cannot do it (formatting)

QJsonObject Response(const QJsonValue& id, const QJsonValue& result);
// `id` is null when the message's own id could not be read.
QJsonObject ErrorResponse(const QJsonValue& id, int code, const QString& message);
QJsonObject Notification(const QString& method, const QJsonValue& params);

// A fault in a request's params: answered with kInvalidParams and the message.
struct InvalidParams {
    QString message;
};
// A valid request the server cannot carry out: answered with kRequestFailed and the message.
struct RequestFailed {
    QString message;
};

}  // namespace xsc::lsp::rpc
