#include "common/ScriptWarnings.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "xml/AttributeWarnings.h"
#include "common/ClosestNames.h"
#include "xml/ScriptLanguage.h"
#include "engine/ArgumentMatch.h"
#include "engine/EngineLimits.h"
#include "engine/EngineTables.h"
#include "runtime/Val.h"
#include "runtime/XmlDocument.h"

namespace xsc {
namespace {

// Where an expression stands: the type expected there (empty: any) and how to name the place.
struct Place {
    std::optional<std::int32_t> type;
    std::string what;
};

struct Pending {
    const XmlNode* node;
    Place place;
    int depth;  // calls around it, itself included for a call
};

using engine::EngineBuild;
using engine::EngineFunction;
using engine::EngineTables;
using language::ExpressionKind;
using Severity = Diagnostic::Severity;

// The children that are expressions; the others are refused by the compile.
std::vector<const XmlNode*> Expressions(const XmlNode& parent) {
    std::vector<const XmlNode*> found;
    for (const XmlNode* child : parent.Children) {
        if (child->IsElement() && language::ClassifyExpression(child->Name) != ExpressionKind::Unknown) {
            found.push_back(child);
        }
    }
    return found;
}

// "begin" and "begin_random": a repeated single passthrough parameter of a passthrough function
// lists statements, of which only the last gives the call's value.
bool IsStatementList(const EngineFunction& f, std::int32_t passthrough) {
    return f.returns == passthrough &&
           std::any_of(f.parameters.begin(), f.parameters.end(), [&](const engine::ParameterItem& item) {
               return item.kind == engine::ParameterItem::Kind::Repeated && item.types.size() == 1 &&
                      item.types.front() == passthrough;
           });
}

class ScriptWalk {
public:
    ScriptWalk(const EngineTables& tables, std::optional<EngineBuild> build, std::vector<Diagnostic>& out)
        : tables_(tables),
          build_(build),
          out_(out),
          void_(*tables.ValueTypeCode("void")),
          passthrough_(*tables.ValueTypeCode("passthrough")) {}

    // Makes the script known to calls from every script, before or after it; a scenario global to
    // every read.
    void Declare(const XmlNode& script) {
        if (language::IsGlobalDefinition(script)) {
            scenarioGlobals_.insert(script.GetAttribute(language::kGlobalName));
            return;
        }
        declared_.emplace(script.GetAttribute(language::kNameAttr), &script);
    }

    // A scenario global's initial value, in a place of the global's type. The first says once that
    // the layout of globals rests on the toolkits' description.
    void GlobalDefinition(const XmlNode& global) {
        if (!globalNoted_) {
            Report(global, Severity::Note, std::string(kGlobalsLayoutNote));
            globalNoted_ = true;
        }
        depthWarned_ = false;
        const Place place{TypeAttribute(global, language::kValueType),
                          "the initial value of global " + Quoted(global.GetAttribute(language::kGlobalName))};
        std::vector<Pending> pending;
        for (const XmlNode* expression : Expressions(global)) pending.push_back({expression, place, 0});
        Walk(pending);
    }

    void Script(const XmlNode& script) {
        const std::string name = script.GetAttribute(language::kNameAttr);
        const auto [first, added] = scripts_.emplace(name, &script);
        if (!added) {
            Warn(script, "a second script named " + Quoted(name) + " (the first is at " + Position(*first->second) +
                             "); calls by name reach only one of them");
        }
        if (auto problem = NumberAttributeProblem(script, language::kTypeAttr)) Warn(script, *problem);
        const std::optional<std::int32_t> returnType = TypeAttribute(script, language::kReTypeAttr);
        const bool runByTheGame = CheckScriptType(script, returnType);

        depthWarned_ = false;
        std::vector<Pending> pending;
        const std::vector<const XmlNode*> statements = Expressions(script);
        for (std::size_t i = statements.size(); i-- > 0;) {
            // Every statement but the last is dropped (void, which takes any value); the last is
            // the script's value, which only scripts called by others return.
            Place place;
            if (i + 1 == statements.size() && !runByTheGame) place = {returnType, "the value of script " + Quoted(name)};
            pending.push_back({statements[i], place, 0});
        }
        Walk(pending);
    }

    void Walk(std::vector<Pending>& pending) {
        while (!pending.empty()) {
            const Pending p = std::move(pending.back());
            pending.pop_back();
            switch (language::ClassifyExpression(p.node->Name)) {
                case ExpressionKind::Call: Call(p, pending); break;
                case ExpressionKind::Value: Value(p); break;
                case ExpressionKind::Global: Global(p); break;
                case ExpressionKind::ScriptCall: ScriptCall(p); break;
                case ExpressionKind::GlobalReference: GlobalReference(p); break;
                case ExpressionKind::Unknown: break;
            }
        }
    }

private:
    void Report(const XmlNode& at, Severity severity, std::string message) {
        out_.push_back({severity, at.Line, at.Column, std::move(message)});
    }
    void Warn(const XmlNode& at, std::string message) { Report(at, Severity::Warning, std::move(message)); }

    static std::string Position(const XmlNode& node) {
        return std::to_string(node.Line) + ":" + std::to_string(node.Column);
    }

    // "short (7)".
    std::string TypeText(std::int32_t code) const {
        return tables_.ValueTypeName(code) + " (" + std::to_string(code) + ")";
    }
    // "ValueType 7 (short)".
    std::string Written(std::string_view attribute, std::int32_t code) const {
        return std::string(attribute) + " " + std::to_string(code) + " (" + tables_.ValueTypeName(code) + ")";
    }

    std::string BuildText() const { return "the " + std::string(engine::BuildName(*build_)) + " build"; }

    // "exists only in the retail and custom builds".
    template <typename Entry>
    static std::string OnlyIn(const Entry& entry) {
        std::vector<std::string> builds;
        for (EngineBuild b : engine::kEngineBuilds) {
            if (entry.In(b)) builds.emplace_back(engine::BuildName(b));
        }
        if (builds.empty()) return "exists in no build";
        return "exists only in the " + Alternatives(builds, " and ") + (builds.size() == 1 ? " build" : " builds");
    }

    // A number attribute that holds a value type code; empty when it names no type.
    std::optional<std::int32_t> TypeAttribute(const XmlNode& element, std::string_view attribute) {
        if (auto problem = NumberAttributeProblem(element, attribute)) Warn(element, *problem);
        const std::int32_t code = NumberAttribute(element.GetAttribute(attribute));
        if (tables_.ValueTypeName(code).empty()) {
            Warn(element, std::string(attribute) + " " + std::to_string(code) + " is no value type (0 to " +
                              std::to_string(tables_.ValueTypes().size() - 1) + ")");
            return std::nullopt;
        }
        return code;
    }

    // True for the scripts the game runs by itself (startup, dormant, continuous): they return
    // nothing; static and stub scripts are called and return their declared type.
    bool CheckScriptType(const XmlNode& script, std::optional<std::int32_t> returnType) {
        const std::int32_t type = NumberAttribute(script.GetAttribute(language::kTypeAttr));
        const std::vector<std::string>& names = tables_.ScriptTypes();
        if (type < 0 || static_cast<std::size_t>(type) >= names.size()) {
            std::vector<std::string> codes;
            for (std::size_t i = 0; i < names.size(); ++i) codes.push_back(std::to_string(i) + " " + names[i]);
            Warn(script, "TypeAttr " + std::to_string(type) + " is no script type (" + Alternatives(codes, ", ") + ")");
            return false;
        }
        const std::string& kind = names[static_cast<std::size_t>(type)];
        const bool runByTheGame = kind == "startup" || kind == "dormant" || kind == "continuous";
        if (runByTheGame && returnType && *returnType != void_) {
            Warn(script, "a " + kind + " script returns " + TypeText(void_) + ", not " +
                             Written(language::kReTypeAttr, *returnType));
        }
        return runByTheGame;
    }

    void CheckPlace(const XmlNode& element, std::optional<std::int32_t> type, const Place& place) {
        if (type && place.type && !tables_.CanConvert(*type, *place.type)) {
            Warn(element, Written(language::kValueType, *type) + " cannot stand where " + TypeText(*place.type) +
                              " is expected (" + place.what + ")");
        }
    }

    void Call(const Pending& p, std::vector<Pending>& pending) {
        const XmlNode& call = *p.node;
        const std::string name = call.GetAttribute(language::kCommand);
        const std::optional<std::int32_t> valueType = TypeAttribute(call, language::kValueType);
        if (auto problem = NumberAttributeProblem(call, language::kEngineId)) Warn(call, *problem);
        const int depth = p.depth + 1;
        if (depth > engine::kSafeCallDepth && !depthWarned_) {
            Warn(call, "calls nested " + std::to_string(depth) + " deep; the game's script stack is not checked in "
                       "release builds and overflows at about 10 to 16 levels");
            depthWarned_ = true;
        }

        const std::vector<const XmlNode*> arguments = Expressions(call);
        std::vector<Place> places(arguments.size());
        if (build_) {
            if (const EngineFunction* f = tables_.FindFunction(name)) {
                CheckFunctionInBuild(call, *f);
                CheckResultType(call, *f, valueType, p.place);
                PlaceArguments(call, *f, valueType, places);
            } else {
                UnknownFunction(call, name);
            }
        }
        for (std::size_t i = arguments.size(); i-- > 0;) {
            places[i].what = "argument " + std::to_string(i + 1) + " of " + Quoted(name);
            pending.push_back({arguments[i], std::move(places[i]), depth});
        }
    }

    void UnknownFunction(const XmlNode& call, const std::string& name) {
        std::vector<const std::string*> candidates;
        for (const EngineFunction& f : tables_.Functions()) {
            if (f.In(*build_)) candidates.push_back(&f.name);
        }
        const std::vector<std::string> close = ClosestNames(name, candidates);
        Warn(call, "unknown function " + Quoted(name) +
                       (close.empty() ? " (" + BuildText() + " has no function of that name)"
                                      : "; did you mean " + Alternatives(QuotedAll(close)) + "?"));
    }

    void CheckFunctionInBuild(const XmlNode& call, const EngineFunction& f) {
        if (!f.In(*build_)) {
            Warn(call, Quoted(f.name) + " " + OnlyIn(f) + "; the game crashes here");
            return;
        }
        const std::int32_t number = f.NumberIn(*build_);
        if (number == EngineFunction::kNoNumber) {
            Warn(call, Quoted(f.name) + " has no function number of its own in the game; write it as nested if calls");
            return;
        }
        // EngineId is stored in 16 bits: that is the number the game sees.
        const std::int32_t written = NumberAttribute(call.GetAttribute(language::kEngineId));
        const auto stored = static_cast<std::uint16_t>(written);
        if (stored == number) return;
        std::vector<std::string> named;
        for (const EngineFunction* other : tables_.FunctionsNumbered(*build_, stored)) named.push_back(Quoted(other->name));
        Warn(call, Quoted(f.name) + " is function " + std::to_string(number) + " in " + BuildText() + ", not " +
                       std::to_string(written) + " (" +
                       (named.empty() ? "no function has number " + std::to_string(stored)
                                      : std::to_string(stored) + " is " + Alternatives(named)) +
                       ")");
    }

    // The call's ValueType is the function's result type or the type its place expects;
    // passthrough functions take the type of their place (or one that converts to it).
    void CheckResultType(const XmlNode& call, const EngineFunction& f, std::optional<std::int32_t> valueType,
                         const Place& place) {
        if (!valueType) return;
        const std::int32_t vt = *valueType;
        const bool passthrough = f.returns == passthrough_;
        if (vt == f.returns || (place.type && vt == *place.type)) {
            if (!passthrough && place.type && !tables_.CanConvert(f.returns, *place.type)) {
                Warn(call, Quoted(f.name) + " returns " + TypeText(f.returns) + ", which cannot stand where " +
                               TypeText(*place.type) + " is expected (" + place.what + ")");
            }
        } else if (passthrough) {
            // Any value may stand in a void place: a set of a long as a statement is fine.
            if (place.type && !tables_.CanConvert(vt, *place.type)) {
                Warn(call, Quoted(f.name) + " takes the type of its place (" + place.what + "): " + TypeText(*place.type) +
                               ", not " + Written(language::kValueType, vt));
            }
        } else {
            const bool otherPlace = place.type && *place.type != f.returns;
            Warn(call, Written(language::kValueType, vt) + (otherPlace ? " is neither" : " is not") + " what " +
                           Quoted(f.name) + " returns, " + TypeText(f.returns) +
                           (otherPlace ? ", nor what its place expects, " + TypeText(*place.type) : "") +
                           (otherPlace ? " (" + place.what + ")" : ""));
        }
    }

    void PlaceArguments(const XmlNode& call, const EngineFunction& f, std::optional<std::int32_t> valueType,
                        std::vector<Place>& places) {
        const std::optional<std::vector<std::int32_t>> types = engine::MatchArguments(f, places.size());
        if (!types) {
            Warn(call, Quoted(f.name) + " takes " + engine::AcceptedArgumentCounts(f) + " (" + f.parametersText + "), not " +
                           std::to_string(places.size()));
            return;
        }
        const bool statements = IsStatementList(f, passthrough_);
        for (std::size_t i = 0; i < places.size(); ++i) {
            const std::int32_t type = (*types)[i];
            if (type != passthrough_) {
                places[i].type = type;
            } else if (f.returns == passthrough_ && !(statements && i + 1 < places.size())) {
                places[i].type = valueType;  // the call's own type, taken from its place
            }
        }
    }

    void Value(const Pending& p) {
        const XmlNode& value = *p.node;
        const std::optional<std::int32_t> valueType = TypeAttribute(value, language::kValueType);
        if (valueType) {
            if (auto problem = ScriptValueProblem(value, *valueType)) Warn(value, *problem);
        }
        CheckPlace(value, valueType, p.place);
    }

    // The script's type and return type are those of the first script of its name (the one the
    // call reaches); a script of another name is refused by the compile.
    void ScriptCall(const Pending& p) {
        const XmlNode& call = *p.node;
        const std::optional<std::int32_t> valueType = TypeAttribute(call, language::kValueType);
        const std::string name = call.GetAttribute(language::kScript);
        const auto script = declared_.find(name);
        if (script == declared_.end()) {
            CheckPlace(call, valueType, p.place);
            return;
        }
        const XmlNode& called = *script->second;
        const std::int32_t type = NumberAttribute(called.GetAttribute(language::kTypeAttr));
        const std::vector<std::string>& kinds = tables_.ScriptTypes();
        if (type >= 0 && static_cast<std::size_t>(type) < kinds.size() && kinds[static_cast<std::size_t>(type)] != "static" &&
            kinds[static_cast<std::size_t>(type)] != "stub") {
            Warn(call, "the script " + Quoted(name) + " is a " + kinds[static_cast<std::size_t>(type)] +
                           " script; only static and stub scripts can be called");
        }
        const std::int32_t returns = NumberAttribute(called.GetAttribute(language::kReTypeAttr));
        if (valueType && *valueType != returns && !(p.place.type && *valueType == *p.place.type)) {
            Warn(call, Written(language::kValueType, *valueType) + " is neither what the script " + Quoted(name) +
                           " returns, " + TypeText(returns) + ", nor what its place expects");
        } else if (p.place.type && !tables_.CanConvert(returns, *p.place.type)) {
            Warn(call, "the script " + Quoted(name) + " returns " + TypeText(returns) + ", which cannot stand where " +
                           TypeText(*p.place.type) + " is expected (" + p.place.what + ")");
        }
    }

    void GlobalReference(const Pending& p) {
        const XmlNode& global = *p.node;
        const std::optional<std::int32_t> valueType = TypeAttribute(global, language::kValueType);
        const std::string name = global.GetAttribute(language::kValueCommand);
        if (build_ && !scenarioGlobals_.count(name)) CheckEngineGlobal(global, name, valueType);
        CheckPlace(global, valueType, p.place);
    }

    void Global(const Pending& p) {
        const XmlNode& global = *p.node;
        const std::optional<std::int32_t> valueType = TypeAttribute(global, language::kValueType);
        if (valueType) {
            if (auto problem = GlobalValueProblem(global, *valueType)) Warn(global, *problem);
        }
        const std::string name = global.GetAttribute(language::kValueCommand);
        if (build_ && !name.empty()) CheckEngineGlobal(global, name, valueType);
        CheckPlace(global, valueType, p.place);
    }

    void CheckEngineGlobal(const XmlNode& global, const std::string& name, std::optional<std::int32_t> valueType) {
        const engine::EngineGlobal* g = tables_.FindGlobal(name);
        if (g == nullptr) {
            if (!notedGlobals_.insert(name).second) return;  // said once per name
            std::vector<const std::string*> candidates;
            for (const engine::EngineGlobal& known : tables_.Globals()) {
                if (known.In(*build_)) candidates.push_back(&known.name);
            }
            const std::vector<std::string> close = ClosestNames(name, candidates);
            Report(global, Severity::Note,
                   Quoted(name) + " is no engine global of " + BuildText() +
                       "; if it is a scenario global, the map's scenario must declare it" +
                       (close.empty() ? ""
                                      : " (engine globals with close names: " + Alternatives(QuotedAll(close), ", ") + ")"));
        } else if (!g->In(*build_)) {
            Warn(global, "the engine global " + Quoted(g->name) + " " + OnlyIn(*g));
        } else if (valueType && g->type != *valueType) {
            Warn(global, "the engine global " + Quoted(g->name) + " is " + TypeText(g->type) + ", not " +
                             Written(language::kValueType, *valueType));
        }
    }

    const EngineTables& tables_;
    const std::optional<EngineBuild> build_;
    std::vector<Diagnostic>& out_;
    const std::int32_t void_;
    const std::int32_t passthrough_;
    std::unordered_map<std::string, const XmlNode*> scripts_;  // by name, the first of each walked so far
    std::unordered_map<std::string, const XmlNode*> declared_;  // by name, the first of each in the document
    std::unordered_set<std::string> notedGlobals_;  // names said to be no engine global
    std::unordered_set<std::string> scenarioGlobals_;  // the document's global definitions, by name
    bool globalNoted_ = false;
    bool depthWarned_ = false;  // once per script
};

}  // namespace

std::vector<Diagnostic> ScriptWarnings(const XmlDocument& document, const engine::EngineTables& tables,
                                       std::optional<engine::EngineBuild> build) {
    std::vector<Diagnostic> found;
    const XmlNode* root = document.DocumentElement();
    if (root == nullptr) return found;
    ScriptWalk walk(tables, build, found);
    for (const XmlNode* script : root->Children) {
        if (script->IsElement()) walk.Declare(*script);
    }
    for (const XmlNode* script : root->Children) {
        if (language::IsGlobalDefinition(*script)) {
            walk.GlobalDefinition(*script);
        } else if (script->IsElement()) {
            walk.Script(*script);
        }
    }
    return found;
}

}  // namespace xsc
