#include "lsp/Hover.h"

#include "engine/EngineTables.h"
#include "lsp/LanguageFacts.h"
#include "lsp/Workspace.h"
#include "runtime/Utf8Path.h"

namespace xsc::lsp {
namespace {

// "a static script returning boolean, at intro.hsc:3".
std::string DeclarationFacts(const Declared& declared) {
    const Declaration& d = *declared.declaration;
    std::string facts = d.kind == Declaration::Kind::Global ? "Scenario global of type " + d.type
                                                            : "A " + d.type + " script" + (d.returnType.empty() ? "" : " returning " + d.returnType);
    const std::filesystem::path path = PathOfUri(declared.document->Uri());
    const Position at = declared.document->PositionAt(d.begin, PositionEncoding::Utf32);
    const std::string file = path.empty() ? declared.document->Uri().toStdString() : Utf8(path.filename());
    return facts + ", at " + file + ":" + std::to_string(at.line + 1) + ":" + std::to_string(at.character + 1) + ".";
}

}  // namespace

QJsonValue Hover(FeatureContext& context, const QJsonObject& params) {
    const DocumentPlace place = ReadDocumentPlace(context.workspace, params);
    if (place.document == nullptr) return QJsonValue::Null;
    const SyntaxToken* word = context.workspace.IndexOf(*place.document).WordAt(place.offset);
    if (word == nullptr) return QJsonValue::Null;
    QString contents;
    const std::vector<Declared> declared =
        FindDeclarations(context.workspace, context.workspace.ProgramOf(place.document->Uri()), word->text);
    if (!declared.empty()) {
        contents = CodeAndFacts(DeclarationText(*declared.front().declaration), DeclarationFacts(declared.front()));
    } else if (const engine::EngineFunction* f = context.tables.FindFunction(word->text);
               f != nullptr && word->kind == SyntaxToken::Kind::Atom) {
        contents = CodeAndFacts(SignatureText(*f), FunctionFacts(*f, context.build, context.tables));
    } else if (const engine::EngineGlobal* g = context.tables.FindGlobal(word->text); g != nullptr && word->kind == SyntaxToken::Kind::Atom) {
        contents = CodeAndFacts(g->name, GlobalFacts(*g, context.build, context.tables));
    } else {
        return QJsonValue::Null;
    }
    return QJsonObject{{"contents", QJsonObject{{"kind", "markdown"}, {"value", contents}}},
                       {"range", ToJson(place.document->RangeOf(word->begin, word->end, context.workspace.Encoding()))}};
}

}  // namespace xsc::lsp
