#include "lsp/SignatureHelp.h"

#include <QJsonArray>

#include "engine/EngineTables.h"
#include "lsp/LanguageFacts.h"
#include "lsp/Workspace.h"

namespace xsc::lsp {

QJsonValue SignatureHelp(FeatureContext& context, const QJsonObject& params) {
    const DocumentPlace place = ReadDocumentPlace(context.workspace, params);
    if (place.document == nullptr) return QJsonValue::Null;
    const CursorContext at = context.workspace.IndexOf(*place.document).ContextAt(place.offset);
    const engine::EngineFunction* f = at.inHead ? nullptr : context.tables.FindFunction(at.head);
    if (f == nullptr) return QJsonValue::Null;
    // Parameters are given by their place in the label, [start, end) in UTF-16 units (all ASCII).
    QJsonArray parameters;
    std::size_t offset = f->name.size() + 2;  // "(" name " "
    for (const std::string& item : ParameterTexts(*f)) {
        parameters.append(QJsonObject{{"label", QJsonArray{static_cast<qint64>(offset), static_cast<qint64>(offset + item.size())}}});
        offset += item.size() + 1;
    }
    QJsonObject signature{{"label", QString::fromStdString(SignatureText(*f))},
                          {"documentation", QJsonObject{{"kind", "markdown"}, {"value", QString::fromStdString(FunctionFacts(*f, context.build, context.tables))}}},
                          {"parameters", parameters}};
    const std::optional<std::size_t> active = ParameterItemOf(*f, at.argument);
    // Past the last parameter none is marked: the protocol takes an index outside the list so.
    const auto index = static_cast<qint64>(active.value_or(static_cast<std::size_t>(parameters.size())));
    signature.insert("activeParameter", index);
    return QJsonObject{{"signatures", QJsonArray{signature}}, {"activeSignature", 0}, {"activeParameter", index}};
}

}  // namespace xsc::lsp
