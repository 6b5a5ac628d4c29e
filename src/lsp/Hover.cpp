#include "lsp/Hover.h"

#include <cctype>

#include "engine/EngineTables.h"
#include "engine/NameTables.h"
#include "lsp/LanguageFacts.h"
#include "lsp/MapNamesCache.h"
#include "lsp/Workspace.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/Error.h"
#include "runtime/Text.h"
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

// A word in an argument slot that takes a name of the map's things: what it designates there, as
// a compile would look it up ("Cutscene camera point #4, in level.map."; a tag's path and ID).
std::optional<std::string> MapNameFacts(FeatureContext& context, const TextDocument& document, const SyntaxToken& word) {
    const CursorContext at = context.workspace.IndexOf(document).ContextAt(word.end);
    const engine::EngineFunction* f = at.inHead ? nullptr : context.tables.FindFunction(at.head);
    const std::optional<std::int32_t> type = f ? ParameterTypeOf(*f, at.argument) : std::nullopt;
    if (!type || !NamesSomethingOfTheMap(*type, engine::NameTables::BuiltIn())) return std::nullopt;
    for (const NameChoice& choice : MapChoices(context, *type)) {
        if (!EqualsIgnoringCase(choice.text, word.text)) continue;
        std::string facts = DescribeChoice(choice);
        facts[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(facts[0])));
        const std::optional<std::filesystem::path>& map = context.workspace.Config().map;
        if (choice.tag != nullptr) facts += ": " + choice.tag->path + ", ID " + Hex(std::int64_t{choice.tag->ident});
        if (map && choice.tag == nullptr && engine::NameTables::BuiltIn().Encoding(*type)->storage != engine::Storage::EnumIndex) {
            facts += ", in " + Utf8(map->filename());
        }
        return facts + ".";
    }
    return std::nullopt;
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
    } else if (const std::optional<std::string> facts = MapNameFacts(context, *place.document, *word)) {
        contents = CodeAndFacts(word->kind == SyntaxToken::Kind::String ? "\"" + word->text + "\"" : word->text, *facts);
    } else {
        return QJsonValue::Null;
    }
    return QJsonObject{{"contents", QJsonObject{{"kind", "markdown"}, {"value", contents}}},
                       {"range", ToJson(place.document->RangeOf(word->begin, word->end, context.workspace.Encoding()))}};
}

}  // namespace xsc::lsp
