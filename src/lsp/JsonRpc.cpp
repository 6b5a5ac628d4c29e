#include "lsp/JsonRpc.h"

namespace xsc::lsp::rpc {

QJsonObject Response(const QJsonValue& id, const QJsonValue& result) {
    return {{"jsonrpc", "2.0"}, {"id", id}, {"result", result}};
}

QJsonObject ErrorResponse(const QJsonValue& id, int code, const QString& message) {
    return {{"jsonrpc", "2.0"}, {"id", id}, {"error", QJsonObject{{"code", code}, {"message", message}}}};
}

QJsonObject Notification(const QString& method, const QJsonValue& params) {
    return {{"jsonrpc", "2.0"}, {"method", method}, {"params", params}};
}

}  // namespace xsc::lsp::rpc
