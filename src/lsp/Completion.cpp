#include "lsp/Completion.h"

#include <algorithm>
#include <functional>

#include <QJsonArray>

#include "engine/EngineTables.h"
#include "engine/NameTables.h"
#include "hsc/Lexer.h"
#include "hsc/Literals.h"
#include "lsp/LanguageFacts.h"
#include "lsp/MapNamesCache.h"
#include "lsp/Workspace.h"
#include "names/NameResolution.h"

namespace xsc::lsp {
namespace {

// The protocol's completion item kinds.
constexpr int kFunctionKind = 3;
constexpr int kVariableKind = 6;
constexpr int kValueKind = 12;
constexpr int kKeywordKind = 14;
constexpr int kEnumMemberKind = 20;
constexpr int kConstantKind = 21;

class Items {
public:
    explicit Items(const std::string& prefix) : prefix_(QString::fromStdString(prefix)) {}

    void Add(const std::string& label, int kind, const std::string& detail, const QString& documentation = {},
             const std::string& insertText = {}) {
        const QString text = QString::fromStdString(label);
        if (!text.startsWith(prefix_, Qt::CaseInsensitive)) return;
        QJsonObject item{{"label", text}, {"kind", kind}, {"detail", QString::fromStdString(detail)}};
        if (!documentation.isEmpty()) item.insert("documentation", QJsonObject{{"kind", "markdown"}, {"value", documentation}});
        if (!insertText.empty()) item.insert("insertText", QString::fromStdString(insertText));
        items_.append(item);
    }
    QJsonObject List() const { return {{"isIncomplete", false}, {"items", items_}}; }

private:
    QString prefix_;
    QJsonArray items_;
};

void AddFunctions(Items& items, const FeatureContext& context) {
    for (const engine::EngineFunction& f : context.tables.Functions()) {
        if (!f.In(context.build)) continue;
        items.Add(f.name, kFunctionKind, SignatureText(f) + " -> " + context.tables.ValueTypeName(f.returns),
                  CodeAndFacts(SignatureText(f), FunctionFacts(f, context.build, context.tables)));
    }
}

void AddDeclarations(Items& items, FeatureContext& context, const std::vector<const TextDocument*>& program, bool scripts,
                     const std::function<bool(const Declaration&)>& wanted) {
    for (const TextDocument* document : program) {
        for (const Declaration& d : context.workspace.IndexOf(*document).Declarations()) {
            if ((d.kind == Declaration::Kind::Script) != scripts || !wanted(d)) continue;
            items.Add(d.name, scripts ? kFunctionKind : kVariableKind, DeclarationText(d));
        }
    }
}

void AddGlobals(Items& items, const FeatureContext& context, std::optional<std::int32_t> type) {
    for (const engine::EngineGlobal& g : context.tables.Globals()) {
        if (!g.In(context.build) || (type && !context.tables.CanConvert(g.type, *type))) continue;
        items.Add(g.name, kVariableKind, context.tables.ValueTypeName(g.type), CodeAndFacts(g.name, GlobalFacts(g, context.build, context.tables)));
    }
}

void AddWords(Items& items, const std::vector<std::string>& words, int kind, const std::string& detail) {
    for (const std::string& word : words) items.Add(word, kind, detail);
}

// A name stands bare where the source language reads it as a name: one word that is no number
// and no engine global ("cheat_jetpack" is the global, "\"cheat_jetpack\"" the object name);
// otherwise it is written in quotes.
bool StandsBare(const std::string& name, const engine::EngineTables& tables) {
    return !name.empty() && std::all_of(name.begin(), name.end(), hsc::IsAtomCharacter) && !hsc::IsNumber(name) &&
           tables.FindGlobal(name) == nullptr;
}

// The names of the map's things a value of `type` can take: the map's camera points in a camera
// point's slot, its encounters, squads and platoons in an ai slot, and so on.
void AddMapNames(Items& items, FeatureContext& context, std::int32_t type) {
    const engine::ValueEncoding* encoding = engine::NameTables::BuiltIn().Encoding(type);
    const int kind = encoding != nullptr && encoding->storage == engine::Storage::EnumIndex ? kEnumMemberKind : kValueKind;
    for (const NameChoice& choice : MapChoices(context, type)) {
        items.Add(choice.text, kind, DescribeChoice(choice), {}, StandsBare(choice.text, context.tables) ? std::string() : "\"" + choice.text + "\"");
    }
}

// The type of an engine global or a global of the program; none for another name.
std::optional<std::int32_t> GlobalType(FeatureContext& context, const std::vector<const TextDocument*>& program,
                                       const std::string& name) {
    if (const engine::EngineGlobal* g = context.tables.FindGlobal(name)) return g->type;
    for (const Declared& d : FindDeclarations(context.workspace, program, name)) {
        if (d.declaration->kind == Declaration::Kind::Global) return context.tables.ValueTypeCode(d.declaration->type);
    }
    return std::nullopt;
}

// The values an argument slot of `head` takes.
void AddArguments(Items& items, FeatureContext& context, const std::vector<const TextDocument*>& program, const CursorContext& at) {
    const engine::EngineTables& tables = context.tables;
    if (at.depth == 1 && at.head == "script") {
        if (at.argument == 0) AddWords(items, tables.ScriptTypes(), kKeywordKind, "script type");
        if (at.argument == 1) AddWords(items, tables.ValueTypes(), kKeywordKind, "return type");
        return;
    }
    if (at.depth == 1 && at.head == "global") {
        if (at.argument == 0) AddWords(items, tables.ValueTypes(), kKeywordKind, "value type");
        return;
    }
    const engine::EngineFunction* f = tables.FindFunction(at.head);
    std::optional<std::int32_t> type = f ? ParameterTypeOf(*f, at.argument) : std::nullopt;
    // set's value takes the type of the global it sets.
    if (at.head == "set" && at.argument == 1) type = GlobalType(context, program, at.arguments.at(0));
    const std::string typeName = type ? tables.ValueTypeName(*type) : "";
    if (type && NamesSomethingOfTheMap(*type, engine::NameTables::BuiltIn())) AddMapNames(items, context, *type);
    if (typeName == "boolean") AddWords(items, {"true", "false"}, kConstantKind, "boolean");
    if (typeName == "script") {
        AddDeclarations(items, context, program, true, [](const Declaration&) { return true; });
        return;
    }
    // Any type for passthrough parameters (=, inspect, begin's statements) and unknown heads.
    const bool any = !type || typeName == "passthrough" || typeName == "void";
    AddGlobals(items, context, any ? std::nullopt : type);
    AddDeclarations(items, context, program, false, [&](const Declaration& d) {
        const std::optional<std::int32_t> own = tables.ValueTypeCode(d.type);
        return any || (own && tables.CanConvert(*own, *type));
    });
}

}  // namespace

QJsonValue Complete(FeatureContext& context, const QJsonObject& params) {
    const DocumentPlace place = ReadDocumentPlace(context.workspace, params);
    if (place.document == nullptr) return QJsonValue::Null;
    const CursorContext at = context.workspace.IndexOf(*place.document).ContextAt(place.offset);
    Items items(at.prefix);
    if (at.depth == 0 || at.inString) return items.List();
    const std::vector<const TextDocument*> program = context.workspace.ProgramOf(place.document->Uri());
    if (at.inHead && at.depth == 1) {
        AddWords(items, {"script", "global"}, kKeywordKind, "declaration");
    } else if (at.inHead) {
        AddFunctions(items, context);
        AddDeclarations(items, context, program, true, [](const Declaration& d) { return d.type == "static" || d.type == "stub"; });
    } else {
        AddArguments(items, context, program, at);
    }
    return items.List();
}

}  // namespace xsc::lsp
