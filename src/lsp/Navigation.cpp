#include "lsp/Navigation.h"

#include <QJsonArray>

#include "lsp/LanguageFacts.h"
#include "lsp/Workspace.h"

namespace xsc::lsp {
namespace {

// The word under the cursor and what it names in its program; nothing when it names no
// declaration.
struct Named {
    std::vector<const TextDocument*> program;
    std::vector<Declared> declarations;
    std::string name;
};

Named NamedAt(FeatureContext& context, const QJsonObject& params) {
    const DocumentPlace place = ReadDocumentPlace(context.workspace, params);
    if (place.document == nullptr) return {};
    const SyntaxToken* word = context.workspace.IndexOf(*place.document).WordAt(place.offset);
    if (word == nullptr) return {};
    Named named{context.workspace.ProgramOf(place.document->Uri()), {}, word->text};
    named.declarations = FindDeclarations(context.workspace, named.program, word->text);
    return named;
}

}  // namespace

QJsonValue Definition(FeatureContext& context, const QJsonObject& params) {
    const Named named = NamedAt(context, params);
    QJsonArray locations;
    for (const Declared& d : named.declarations) {
        locations.append(Location(d.document->Uri(), d.document->RangeOf(d.declaration->nameBegin, d.declaration->nameEnd,
                                                                         context.workspace.Encoding())));
    }
    return locations.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(locations);
}

QJsonValue References(FeatureContext& context, const QJsonObject& params) {
    const Named named = NamedAt(context, params);
    if (named.declarations.empty()) return QJsonValue::Null;
    const bool withDeclaration = params.value("context").toObject().value("includeDeclaration").toBool(true);
    QJsonArray locations;
    for (const TextDocument* document : named.program) {
        const SourceIndex& index = context.workspace.IndexOf(*document);
        for (const SyntaxToken& t : index.Tokens()) {
            if (t.kind == SyntaxToken::Kind::Open || t.kind == SyntaxToken::Kind::Close || t.text != named.name) continue;
            const bool declaration = std::any_of(named.declarations.begin(), named.declarations.end(), [&](const Declared& d) {
                return d.document == document && d.declaration->nameBegin == t.begin;
            });
            if (declaration && !withDeclaration) continue;
            locations.append(Location(document->Uri(), document->RangeOf(t.begin, t.end, context.workspace.Encoding())));
        }
    }
    return locations;
}

}  // namespace xsc::lsp
