#include "lsp/LanguageFacts.h"

#include "engine/ArgumentMatch.h"
#include "engine/EngineTables.h"
#include "lsp/Workspace.h"

namespace xsc::lsp {
namespace {

// The longest repeated group the tables hold is a few types: enough tries to reach any argument.
constexpr std::size_t kMaxGroupTypes = 8;

std::string Builds(const std::array<bool, 3>& in) {
    std::string text;
    for (const engine::EngineBuild build : engine::kEngineBuilds) {
        if (!in[engine::BuildIndex(build)]) continue;
        if (!text.empty()) text += " and ";
        text += engine::BuildName(build);
    }
    return text.empty() ? "no build" : "the " + text + " build" + (text.find(" and ") == std::string::npos ? "" : "s");
}

}  // namespace

std::vector<std::string> ParameterTexts(const engine::EngineFunction& function) {
    std::vector<std::string> items;
    if (function.parameters.empty()) return items;
    // Items are separated by blanks outside parentheses: "(boolean passthrough)..." is one.
    int depth = 0;
    std::string item;
    for (const char c : function.parametersText) {
        if (c == ' ' && depth == 0) {
            if (!item.empty()) items.push_back(std::move(item));
            item.clear();
            continue;
        }
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        item += c;
    }
    if (!item.empty()) items.push_back(std::move(item));
    return items;
}

std::string SignatureText(const engine::EngineFunction& function) {
    std::string text = "(" + function.name;
    for (const std::string& item : ParameterTexts(function)) text += " " + item;
    return text + ")";
}

std::optional<std::size_t> ParameterItemOf(const engine::EngineFunction& function, std::size_t argument) {
    for (std::size_t i = 0; i < function.parameters.size(); ++i) {
        if (function.parameters[i].kind == engine::ParameterItem::Kind::Repeated) return i;
        if (argument == 0) return i;
        --argument;
    }
    return std::nullopt;
}

std::optional<std::int32_t> ParameterTypeOf(const engine::EngineFunction& function, std::size_t argument) {
    // The types of the first count that reaches the argument, as a call of that many matches them.
    for (std::size_t count = argument + 1; count <= argument + kMaxGroupTypes; ++count) {
        if (const auto types = engine::MatchArguments(function, count)) return (*types)[argument];
    }
    return std::nullopt;
}

std::string FunctionFacts(const engine::EngineFunction& function, engine::EngineBuild build, const engine::EngineTables& tables) {
    std::string facts = "Returns " + tables.ValueTypeName(function.returns) + ". ";
    const std::int32_t number = function.NumberIn(build);
    if (number == engine::EngineFunction::kNoNumber) return facts + "No number of its own: it compiles into nested if calls.";
    if (number >= 0) return facts + "Function " + std::to_string(number) + " in the " + std::string(engine::BuildName(build)) + " build.";
    std::array<bool, 3> in{};
    for (const engine::EngineBuild b : engine::kEngineBuilds) in[engine::BuildIndex(b)] = function.In(b);
    return facts + "Not in the " + std::string(engine::BuildName(build)) + " build: it exists only in " + Builds(in) + ".";
}

std::string GlobalFacts(const engine::EngineGlobal& global, engine::EngineBuild build, const engine::EngineTables& tables) {
    std::string facts = "Engine global: " + tables.ValueTypeName(global.type) + ".";
    if (!global.In(build)) facts += " Not in the " + std::string(engine::BuildName(build)) + " build: it exists only in " + Builds(global.in) + ".";
    return facts;
}

std::string DeclarationText(const Declaration& declaration) {
    if (declaration.kind == Declaration::Kind::Global) return "(global " + declaration.type + " " + declaration.name + ")";
    return "(script " + declaration.type + (declaration.returnType.empty() ? "" : " " + declaration.returnType) + " " +
           declaration.name + ")";
}

std::vector<Declared> FindDeclarations(Workspace& workspace, const std::vector<const TextDocument*>& program, const std::string& name) {
    std::vector<Declared> found;
    for (const TextDocument* document : program) {
        for (const Declaration& d : workspace.IndexOf(*document).Declarations()) {
            if (d.name == name) found.push_back({document, &d});
        }
    }
    return found;
}

}  // namespace xsc::lsp
