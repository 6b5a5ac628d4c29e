#include "lsp/DocumentSymbols.h"

#include <QJsonArray>

#include "lsp/Workspace.h"

namespace xsc::lsp {
namespace {

// The protocol's symbol kinds.
constexpr int kFunctionSymbol = 12;
constexpr int kVariableSymbol = 13;

}  // namespace

QJsonValue DocumentSymbols(FeatureContext& context, const QJsonObject& params) {
    const TextDocument* document = context.workspace.FindSource(ReadUri(params));
    if (document == nullptr) return QJsonValue::Null;
    const PositionEncoding encoding = context.workspace.Encoding();
    QJsonArray symbols;
    for (const Declaration& d : context.workspace.IndexOf(*document).Declarations()) {
        const bool script = d.kind == Declaration::Kind::Script;
        symbols.append(QJsonObject{
            {"name", QString::fromStdString(d.name)},
            {"detail", QString::fromStdString(d.type + (d.returnType.empty() ? "" : " " + d.returnType))},
            {"kind", script ? kFunctionSymbol : kVariableSymbol},
            {"range", ToJson(document->RangeOf(d.begin, d.end, encoding))},
            {"selectionRange", ToJson(document->RangeOf(d.nameBegin, d.nameEnd, encoding))}});
    }
    return symbols;
}

}  // namespace xsc::lsp
