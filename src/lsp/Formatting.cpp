#include "lsp/Formatting.h"

#include <QJsonArray>

#include "hsc/Parser.h"
#include "hsc/SourcePrinter.h"
#include "lsp/JsonRpc.h"
#include "lsp/Workspace.h"

namespace xsc::lsp {

QJsonValue Format(FeatureContext& context, const QJsonObject& params) {
    const TextDocument* document = context.workspace.FindSource(ReadUri(params));
    if (document == nullptr) return QJsonValue::Null;
    const SourceIndex& index = context.workspace.IndexOf(*document);
    if (index.HasComments()) {
        throw rpc::RequestFailed{"xsc formats only scripts without comments: its layout keeps none, and the comments would be lost"};
    }
    if (index.HasSyntaxErrors()) throw rpc::RequestFailed{"the script has syntax errors: fix them first (see the diagnostics)"};
    const std::string& text = document->Text();
    hsc::ParsedSource parsed = hsc::ParseSource(text);
    std::string formatted = hsc::PrintSource(parsed.forms);
    const std::size_t firstLineEnd = text.find('\n');
    if (firstLineEnd != std::string::npos && firstLineEnd > 0 && text[firstLineEnd - 1] == '\r') {
        std::string crlf;
        for (const char c : formatted) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        formatted = std::move(crlf);
    }
    if (formatted == text) return QJsonArray{};
    const QJsonObject edit{{"range", ToJson(document->RangeOf(0, text.size(), context.workspace.Encoding()))},
                           {"newText", QString::fromStdString(formatted)}};
    return QJsonArray{edit};
}

}  // namespace xsc::lsp
