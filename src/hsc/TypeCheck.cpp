#include "hsc/TypeCheck.h"

#include <algorithm>
#include <unordered_map>

#include "common/ClosestNames.h"
#include "common/ScriptWarnings.h"
#include "xml/ScriptLanguage.h"
#include "engine/ArgumentMatch.h"
#include "engine/EngineLimits.h"
#include "engine/EngineTables.h"
#include "hsc/Literals.h"

namespace xsc::hsc {
namespace {

using engine::EngineFunction;
using engine::EngineGlobal;
using engine::EngineTables;
using Severity = Diagnostic::Severity;

// Where an expression stands.
//   Typed      a type is expected there (void for a statement: any value is dropped)
//   Any        any type: the expression keeps its own (the arguments of =, inspect)
//   Unchecked  the place is unknown after an error around it: only the expression itself is
//              checked, so that its own faults are reported too
struct Place {
    enum class Kind { Typed, Any, Unchecked };
    Kind kind = Kind::Unchecked;
    std::int32_t type = 0;
    std::string what;  // for messages: "argument 1 of "sleep"", "the value of script "intro""
};

struct ScriptDeclaration {
    const Form* form = nullptr;
    std::string name;
    std::int32_t type = 0;
    std::int32_t returnType = 0;
    std::size_t firstStatement = 0;  // index in the form's items
    bool runByTheGame = false;       // startup, dormant, continuous: returns nothing, cannot be called
    bool valid = false;              // the header was read without a fault
};

// (global <type> <name> <initial value>)
struct GlobalDeclaration {
    const Form* form = nullptr;
    std::string name;
    std::int32_t type = 0;
    bool valid = false;
};

// Functions the game's later builds have and the PC builds do not, which scripts written for
// those builds call: named as such rather than as unknown.
constexpr std::string_view kLaterBuildFunctions[] = {"bit_test", "print_if", "sleep_forever"};

constexpr const char* kParametersLater = "script parameters exist only in a later build of the game";

// "exists only in the retail and custom builds".
template <typename Entry>
std::string OnlyIn(const Entry& entry) {
    std::vector<std::string> builds;
    for (const engine::EngineBuild b : engine::kEngineBuilds) {
        if (entry.In(b)) builds.emplace_back(engine::BuildName(b));
    }
    if (builds.empty()) return "exists in no build";
    return "exists only in the " + Alternatives(builds, " and ") + (builds.size() == 1 ? " build" : " builds");
}

std::string Describe(const Form& form) {
    switch (form.kind) {
        case Form::Kind::List: return form.items.empty() || !form.items[0].IsAtom() ? "a list" : "(" + form.items[0].text + " ...)";
        case Form::Kind::Atom: return Quoted(form.text);
        case Form::Kind::String: return "the string " + QuotedExcerpt(form.text);
    }
    return {};
}

bool IsStatementList(const EngineFunction& f) { return f.name == "begin" || f.name == "begin_random"; }

class ProgramCheck {
public:
    ProgramCheck(const EngineTables& tables, engine::EngineBuild build, const std::vector<std::string>& files,
                 std::vector<Diagnostic>& out)
        : tables_(tables),
          build_(build),
          files_(files),
          out_(out),
          boolean_(*tables.ValueTypeCode("boolean")),
          void_(*tables.ValueTypeCode("void")),
          passthrough_(*tables.ValueTypeCode("passthrough")),
          string_(*tables.ValueTypeCode("string")),
          script_(*tables.ValueTypeCode("script")),
          firstNameType_(*tables.ValueTypeCode("trigger_volume")) {}

    std::optional<Program> Run(const std::vector<Form>& forms) {
        for (const Form& form : forms) Declare(form);
        std::int32_t records = 0;
        for (const ScriptDeclaration& d : scripts_) recordIndex_.push_back(d.form != nullptr ? records++ : -1);
        Program program;
        for (std::size_t i = 0; i < globals_.size(); ++i) {
            checkingGlobal_ = i;
            std::optional<Global> global = CheckGlobalDeclaration(globals_[i]);
            if (global) program.globals.push_back(std::move(*global));
        }
        checkingGlobal_.reset();
        if (!globals_.empty()) Note(globals_.front().form->at, std::string(kGlobalsLayoutNote));
        for (const ScriptDeclaration& declaration : scripts_) {
            std::optional<Script> script = CheckScript(declaration);
            if (script) program.scripts.push_back(std::move(*script));
        }
        const bool failed = std::any_of(out_.begin(), out_.end(), [](const Diagnostic& d) { return d.severity == Severity::Error; });
        if (failed) return std::nullopt;
        return program;
    }

private:
    void Report(SourcePosition at, Severity severity, std::string message) {
        out_.push_back({severity, at.line, at.column, std::move(message), FileName(at)});
    }
    void Note(SourcePosition at, std::string message) { Report(at, Severity::Note, std::move(message)); }
    std::string FileName(SourcePosition at) const {
        return static_cast<std::size_t>(at.file) < files_.size() ? files_[static_cast<std::size_t>(at.file)] : std::string();
    }
    // "12:5", or "other.hsc:12:5" for a position in another file than `from`'s.
    std::string Where(SourcePosition at, SourcePosition from) const {
        const std::string file = at.file != from.file ? FileName(at) + ":" : std::string();
        return file + std::to_string(at.line) + ":" + std::to_string(at.column);
    }
    void Error(SourcePosition at, std::string message) { Report(at, Severity::Error, std::move(message)); }
    void Warn(SourcePosition at, std::string message) { Report(at, Severity::Warning, std::move(message)); }

    std::string TypeName(std::int32_t code) const { return tables_.ValueTypeName(code); }
    std::string BuildText() const { return "the " + std::string(engine::BuildName(build_)) + " build"; }
    static Place Typed(std::int32_t type, std::string what) { return {Place::Kind::Typed, type, std::move(what)}; }
    static Place Any(std::string what) { return {Place::Kind::Any, 0, std::move(what)}; }

    // ---- Scripts -------------------------------------------------------------------------

    void Declare(const Form& form) {
        if (form.Starts("global")) {
            DeclareGlobal(form);
            return;
        }
        if (!form.Starts("script")) {
            Error(form.at, "expected (script ...) or (global ...) here, not " + Describe(form));
            return;
        }
        ScriptDeclaration d = ReadHeader(form);
        if (d.valid && !NameIsFree(d.name, form, d.firstStatement - 1, &d)) d.valid = false;
        if (d.valid) declared_.emplace(d.name, Declared{false, scripts_.size()});
        scripts_.push_back(std::move(d));
    }

    // One namespace of scripts and globals across every file of the program; a static script may
    // replace a stub of the same name and return type (what stubs are for), in the stub's record.
    // False when the name is taken (said), or when `script` replaced a stub or was replaced.
    bool NameIsFree(const std::string& name, const Form& form, std::size_t nameItem, ScriptDeclaration* script) {
        const SourcePosition at = form.items[nameItem].at;
        if (const auto first = declared_.find(name); first != declared_.end()) {
            const Declared& earlier = first->second;
            if (script && !earlier.global && ReplaceStub(scripts_[earlier.index], *script)) return false;
            const SourcePosition firstAt = earlier.global ? globals_[earlier.index].form->at : scripts_[earlier.index].form->at;
            Error(form.at, std::string("a second ") + (script ? "script" : "global") + " named " + Quoted(name) + " (the first, a " +
                               (earlier.global ? "global" : "script") + ", is at " + Where(firstAt, form.at) +
                               "); scripts and globals share one namespace");
            return false;
        }
        if (tables_.FindFunction(name) != nullptr && script) {
            Error(at, "a script cannot be named like the engine function " + Quoted(name) + ": calls of it would be taken for the function's");
            return false;
        }
        if (tables_.FindGlobal(name) != nullptr) {
            Error(at, std::string("a ") + (script ? "script" : "global") + " cannot be named like the engine global " + Quoted(name) +
                          ": reads of it would be taken for the engine global's");
            return false;
        }
        return true;
    }

    // A static script and a stub of one name: the static one takes the stub's record. True when
    // the two were such a pair (the later declaration is then not declared again).
    bool ReplaceStub(ScriptDeclaration& earlier, ScriptDeclaration& later) {
        const std::int32_t stub = *ScriptType("stub"), statik = *ScriptType("static");
        const bool pair = (earlier.type == stub && later.type == statik) || (earlier.type == statik && later.type == stub);
        if (!pair || !earlier.valid) return false;
        if (earlier.returnType != later.returnType) {
            Error(later.form->at, "the " + std::string(later.type == statik ? "static script " : "stub ") + Quoted(later.name) +
                                      " returns " + TypeName(later.returnType) + ", the " +
                                      (later.type == statik ? "stub" : "static script") + " it goes with (at " +
                                      Where(earlier.form->at, later.form->at) + ") " + TypeName(earlier.returnType) +
                                      ": a static script replaces a stub of the same name and return type");
            return true;
        }
        ScriptDeclaration& replaced = earlier.type == stub ? earlier : later;
        ScriptDeclaration& kept = earlier.type == stub ? later : earlier;
        Note(kept.form->at, "the static script " + Quoted(kept.name) + " replaces the stub at " + Where(replaced.form->at, kept.form->at));
        if (earlier.type == stub) earlier = std::move(later);
        later.valid = false;
        later.form = nullptr;
        return true;
    }

    // (global <type> <name> <initial value>)
    void DeclareGlobal(const Form& form) {
        GlobalDeclaration g;
        g.form = &form;
        const std::vector<Form>& items = form.items;
        if (items.size() != 4) {
            Error(form.at, "a global is (global <type> <name> <initial value>), not a list of " + std::to_string(items.size()) + " items");
            globals_.push_back(std::move(g));
            return;
        }
        const std::optional<std::int32_t> type = TypeWord(items[1]);
        if (!type || *type < boolean_) {
            Error(items[1].at, "expected the global's value type after global" +
                                   std::string(type ? ": a global holds a value, not " + TypeName(*type) : "") +
                                   " (boolean, real, short, long, string, unit, ...)");
        } else if (items[2].IsList()) {
            Error(items[2].at, "expected the global's name after its type");
        } else {
            g.type = *type;
            g.name = items[2].text;
            g.valid = NameIsFree(g.name, form, 2, nullptr);
        }
        if (g.valid) declared_.emplace(g.name, Declared{true, globals_.size()});
        globals_.push_back(std::move(g));
    }

    std::optional<Global> CheckGlobalDeclaration(const GlobalDeclaration& g) {
        if (g.form == nullptr || g.form->items.size() != 4) return std::nullopt;
        depthWarned_ = false;
        const Place place = g.type >= boolean_ ? Typed(g.type, "the initial value of global " + Quoted(g.name)) : Place{};
        std::optional<Expression> initial = Check(g.form->items[3], place, 0);
        if (!g.valid || !initial) return std::nullopt;
        return Global{g.form->at, g.name, g.type, std::move(*initial)};
    }

    // (name (type parameter)...): a later build's script name with its parameters.
    bool IsParameterList(const Form& form) const {
        return form.IsList() && form.items.size() > 1 && form.items[0].IsAtom() &&
               std::all_of(form.items.begin() + 1, form.items.end(), [&](const Form& p) {
                   return p.IsList() && p.items.size() == 2 && TypeWord(p.items[0]) && p.items[1].IsAtom();
               });
    }

    // A value type's name as a word or, as decompilers write it, in double quotes.
    std::optional<std::int32_t> TypeWord(const Form& form) const {
        if (form.IsList()) return std::nullopt;
        return tables_.ValueTypeCode(form.text);
    }

    std::optional<std::int32_t> ScriptType(std::string_view word) const {
        const std::vector<std::string>& names = tables_.ScriptTypes();
        const auto found = std::find(names.begin(), names.end(), word);
        if (found == names.end()) return std::nullopt;
        return static_cast<std::int32_t>(found - names.begin());
    }

    // (script <type> [<return type>] <name> <expression>...)
    ScriptDeclaration ReadHeader(const Form& form) {
        ScriptDeclaration d;
        d.form = &form;
        const std::vector<Form>& items = form.items;
        const std::string expectedType = "expected the script type after script: " +
                                         Alternatives(QuotedAll(tables_.ScriptTypes()));
        if (items.size() < 2 || items[1].IsList() || !ScriptType(items[1].text)) {
            Error(items.size() < 2 ? form.at : items[1].at, expectedType);
            return d;
        }
        d.type = *ScriptType(items[1].text);
        d.runByTheGame = items[1].text != "static" && items[1].text != "stub";
        d.returnType = void_;
        std::size_t at = 2;
        // A type word followed by a name (or by the list of a later build's name and parameters).
        const bool typeAndName = items.size() > 3 && TypeWord(items[2]) && (!items[3].IsList() || IsParameterList(items[3]));
        if (typeAndName) {
            if (d.runByTheGame) {
                Error(items[2].at, "only static and stub scripts declare a return type; a " + items[1].text +
                                       " script returns nothing");
                return d;
            }
            d.returnType = *TypeWord(items[2]);
            at = 3;
        }
        if (items.size() > at && IsParameterList(items[at])) {
            Error(items[at].at, std::string(kParametersLater) + "; in these builds a script takes none: (script " + items[1].text +
                                    " ... " + items[at].items[0].text + " ...)");
            return d;
        }
        if (items.size() <= at || items[at].IsList()) {
            Error(items.size() <= at ? form.at : items[at].at, "expected the script's name after " + items[at - 1].text);
            return d;
        }
        d.name = items[at].text;
        d.firstStatement = at + 1;
        d.valid = true;
        return d;
    }

    std::optional<Script> CheckScript(const ScriptDeclaration& d) {
        if (d.form == nullptr || d.firstStatement == 0) return std::nullopt;
        Script script{d.form->at, d.name, d.type, d.returnType, {}};
        const std::vector<Form>& items = d.form->items;
        const std::size_t count = items.size() - d.firstStatement;
        if (count == 0 && d.returnType != void_ && d.returnType != passthrough_) {
            Error(d.form->at, "the script " + Quoted(d.name) + " returns " + TypeName(d.returnType) +
                                  " but has no expression to give its value");
        }
        depthWarned_ = false;
        bool complete = d.valid;
        for (std::size_t i = d.firstStatement; i < items.size(); ++i) {
            // Every statement but the last is dropped; the last is the script's value.
            const bool last = i + 1 == items.size();
            const Place place = last && !d.runByTheGame ? Typed(d.returnType, "the value of script " + Quoted(d.name))
                                                        : Typed(void_, "a statement of script " + Quoted(d.name));
            std::optional<Expression> statement = Check(items[i], place, 0);
            complete = complete && statement.has_value();
            if (statement) script.statements.push_back(std::move(*statement));
        }
        if (!complete) return std::nullopt;
        return script;
    }

    const ScriptDeclaration* FindScript(std::string_view name) const {
        const auto found = declared_.find(std::string(name));
        if (found == declared_.end() || found->second.global) return nullptr;
        const ScriptDeclaration& d = scripts_[found->second.index];
        return d.form == nullptr ? nullptr : &d;
    }

    const GlobalDeclaration* FindScenarioGlobal(std::string_view name) const {
        const auto found = declared_.find(std::string(name));
        return found == declared_.end() || !found->second.global ? nullptr : &globals_[found->second.index];
    }

    // The record index of a script: its place among the scripts that take a record (a stub a
    // static script replaced takes none).
    std::int32_t RecordIndex(const ScriptDeclaration& script) const {
        return recordIndex_[static_cast<std::size_t>(&script - scripts_.data())];
    }

    // ---- Expressions ---------------------------------------------------------------------

    std::optional<Expression> Check(const Form& form, const Place& place, int depth) {
        if (form.IsList()) return CheckList(form, place, depth);
        return CheckWord(form, place);
    }

    // The forms from `first` on, each in an unchecked place: their own faults are reported.
    void CheckUnchecked(const Form& list, std::size_t first, int depth) {
        for (std::size_t i = first; i < list.items.size(); ++i) Check(list.items[i], Place{}, depth);
    }

    std::optional<Expression> CheckList(const Form& form, const Place& place, int depth) {
        if (form.items.empty()) {
            Error(form.at, "() is no expression: a call needs the name of a function or script");
            return std::nullopt;
        }
        const Form& head = form.items[0];
        if (!head.IsAtom()) {
            Error(head.at, "a call starts with the name of a function or script, not " + Describe(head));
            CheckUnchecked(form, 1, depth + 1);
            return std::nullopt;
        }
        WarnDepth(form, depth + 1);
        if (head.text == "cond") {
            const std::optional<Form> ifs = RewriteCond(form, depth);
            if (!ifs) return std::nullopt;
            return Check(*ifs, place, depth);
        }
        if (head.text == "script" || head.text == "global") {
            Error(form.at, "(" + head.text + " ...) stands only at the top level, outside every script");
            return std::nullopt;
        }
        if (const ScriptDeclaration* script = FindScript(head.text)) return CheckScriptCall(form, *script, place, depth);
        const EngineFunction* f = tables_.FindFunction(head.text);
        if (f == nullptr) {
            UnknownFunction(head);
            CheckUnchecked(form, 1, depth + 1);
            return std::nullopt;
        }
        if (!f->In(build_)) {
            Error(head.at, Quoted(f->name) + " " + OnlyIn(*f) + "; " + BuildText() + " has no such function");
            CheckUnchecked(form, 1, depth + 1);
            return std::nullopt;
        }
        return CheckCall(form, *f, place, depth);
    }

    void WarnDepth(const Form& form, int depth) {
        if (depth > engine::kSafeCallDepth && !depthWarned_) {
            Warn(form.at, "calls nested " + std::to_string(depth) +
                              " deep; the game's script stack is not checked in release builds and overflows at about 10 to 16 levels");
            depthWarned_ = true;
        }
    }

    void UnknownFunction(const Form& head) {
        if (const EngineGlobal* g = tables_.FindGlobal(head.text)) {
            Error(head.at, Quoted(g->name) + " is an engine global, not a function: write it without parentheses");
            return;
        }
        if (FindScenarioGlobal(head.text) != nullptr) {
            Error(head.at, Quoted(head.text) + " is a global, not a function: write it without parentheses");
            return;
        }
        if (std::find(std::begin(kLaterBuildFunctions), std::end(kLaterBuildFunctions), head.text) != std::end(kLaterBuildFunctions)) {
            Error(head.at, Quoted(head.text) + " is a function of a later build of the game; the PC builds have no such function");
            return;
        }
        if (TypeWord(head)) {
            Error(head.at, Quoted(head.text) + " is a value type, not a function: (" + head.text + " name) declares a parameter, and " +
                               kParametersLater);
            return;
        }
        std::vector<const std::string*> candidates;
        for (const EngineFunction& f : tables_.Functions()) {
            if (f.In(build_) || f.NumberIn(build_) == EngineFunction::kNoNumber) candidates.push_back(&f.name);
        }
        for (const ScriptDeclaration& s : scripts_) {
            if (s.valid && !s.runByTheGame) candidates.push_back(&s.name);
        }
        const std::vector<std::string> close = ClosestNames(head.text, candidates);
        Error(head.at, "unknown function " + Quoted(head.text) +
                           (close.empty() ? " (" + BuildText() + " has no function and the source no static script of that name)"
                                          : "; did you mean " + Alternatives(QuotedAll(close)) + "?"));
    }

    // (cond (test expression...) ...) is (if test expression (if test2 ...)); a clause of more
    // than one expression becomes a begin.
    std::optional<Form> RewriteCond(const Form& form, int depth) {
        const std::vector<Form>& clauses = form.items;
        bool valid = clauses.size() > 1;
        if (!valid) Error(form.at, "cond needs at least one clause: (cond (test expression...) ...)");
        for (std::size_t i = 1; i < clauses.size(); ++i) {
            if (!clauses[i].IsList() || clauses[i].items.size() < 2) {
                Error(clauses[i].at, "a clause of cond is a list of a test and at least one expression: (test expression...)");
                valid = false;
            }
        }
        if (valid && static_cast<std::size_t>(depth) + clauses.size() > kMaxNesting) {
            Error(form.at, "this cond's " + std::to_string(clauses.size() - 1) + " clauses nest if calls more than " +
                               std::to_string(kMaxNesting) + " deep");
            valid = false;
        }
        if (!valid) {
            for (std::size_t i = 1; i < clauses.size(); ++i) {
                if (clauses[i].IsList()) CheckUnchecked(clauses[i], 0, depth + 1);
            }
            return std::nullopt;
        }
        std::optional<Form> rest;
        for (std::size_t i = clauses.size(); i-- > 1;) {
            const Form& clause = clauses[i];
            Form call{Form::Kind::List, {}, {Form{Form::Kind::Atom, "if", {}, clause.at}, clause.items[0]}, clause.at};
            if (clause.items.size() == 2) {
                call.items.push_back(clause.items[1]);
            } else {
                Form body{Form::Kind::List, {}, {Form{Form::Kind::Atom, "begin", {}, clause.items[1].at}}, clause.items[1].at};
                body.items.insert(body.items.end(), clause.items.begin() + 1, clause.items.end());
                call.items.push_back(std::move(body));
            }
            if (rest) call.items.push_back(std::move(*rest));
            rest = std::move(call);
        }
        return rest;
    }

    // The type an expression has by itself, where nothing expects one; none for a literal or a
    // name that is no engine global.
    std::optional<std::int32_t> OwnType(const Form& form) const {
        if (form.IsAtom()) {
            if (const GlobalDeclaration* g = FindScenarioGlobal(form.text)) return g->valid ? std::optional<std::int32_t>(g->type) : std::nullopt;
            if (const EngineGlobal* g = tables_.FindGlobal(form.text)) return g->type;
            return std::nullopt;
        }
        if (!form.IsList() || form.items.empty() || !form.items[0].IsAtom()) return std::nullopt;
        const std::string& head = form.items[0].text;
        const std::vector<Form>& items = form.items;
        if (head == "cond") {
            for (std::size_t i = 1; i < items.size(); ++i) {
                if (items[i].IsList() && items[i].items.size() > 1) {
                    if (auto type = OwnType(items[i].items.back())) return type;
                }
            }
            return std::nullopt;
        }
        if (const ScriptDeclaration* script = FindScript(head)) return script->returnType;
        const EngineFunction* f = tables_.FindFunction(head);
        if (f == nullptr) return std::nullopt;
        if (f->returns != passthrough_) return f->returns;
        if (IsStatementList(*f)) return items.size() > 1 ? OwnOrLiteralType(items.back()) : std::optional<std::int32_t>(void_);
        if (f->name == "set" && items.size() > 1) return OwnType(items[1]);
        if (f->name == "if" && items.size() > 2) {
            const Form* branches[] = {&items[2], items.size() > 3 ? &items[3] : nullptr};
            for (const Form* branch : branches) {
                if (branch) {
                    if (auto type = OwnType(*branch)) return type;
                }
            }
            return OwnOrLiteralType(items[2]);
        }
        return std::nullopt;
    }

    std::optional<std::int32_t> OwnOrLiteralType(const Form& form) const {
        if (auto type = OwnType(form)) return type;
        if (form.IsString()) return string_;
        if (form.IsAtom()) return OwnLiteralType(form.text);
        return std::nullopt;
    }

    // ---- Calls -------------------------------------------------------------------------

    std::optional<Expression> CheckCall(const Form& form, const EngineFunction& f, const Place& place, int depth) {
        const std::size_t count = form.items.size() - 1;
        const std::optional<std::vector<std::int32_t>> parameters = engine::MatchArguments(f, count);
        if (!parameters) {
            Error(form.at, Quoted(f.name) + " takes " + engine::AcceptedArgumentCounts(f) + " (" + f.parametersText + "), not " +
                               std::to_string(count));
            CheckUnchecked(form, 1, depth + 1);
            return std::nullopt;
        }
        const std::optional<std::int32_t> type = CallType(form, f, place);
        Expression call{Expression::Kind::Call, form.at, f.name, f.NumberIn(build_), type.value_or(0), {}};
        bool complete = type.has_value() || place.kind == Place::Kind::Unchecked;
        const std::vector<Place> places = ArgumentPlaces(form, f, *parameters, type);
        for (std::size_t i = 0; i < count; ++i) {
            std::optional<Expression> argument = f.name == "set" && i == 0 ? CheckSetTarget(form.items[1])
                                                                          : Check(form.items[i + 1], places[i], depth + 1);
            complete = complete && argument.has_value();
            if (argument) call.arguments.push_back(std::move(*argument));
        }
        WarnComparison(form, f, *parameters);
        if (!complete) return std::nullopt;
        return call;
    }

    // The type a call takes in its place: the place's type when it expects one (the result must
    // convert to it), else the call's own. Nothing, after an error, when it has none.
    std::optional<std::int32_t> CallType(const Form& form, const EngineFunction& f, const Place& place) {
        const bool passthrough = f.returns == passthrough_;
        const std::optional<std::int32_t> own = passthrough ? OwnType(form) : std::optional<std::int32_t>(f.returns);
        switch (place.kind) {
            case Place::Kind::Typed:
                // A passthrough function takes the place's type and hands it to its arguments;
                // set's value is its global's, which must convert.
                if (own && (!passthrough || f.name == "set") && !Converts(*own, place, form.at, Quoted(f.name) + " returns")) {
                    Error(form.at, Quoted(f.name) + " returns " + TypeName(*own) + ", which cannot stand where " +
                                       TypeName(place.type) + " is expected (" + place.what + ")");
                    return std::nullopt;
                }
                return place.type;
            case Place::Kind::Any:
                if (!own) {
                    Error(form.at, "this " + f.name + " takes the type of its place, and " + place.what +
                                       " takes any type: give one of its values a type (a call, a global or a number)");
                }
                return own;
            case Place::Kind::Unchecked: return own;
        }
        return own;
    }

    std::vector<Place> ArgumentPlaces(const Form& form, const EngineFunction& f, const std::vector<std::int32_t>& parameters,
                                      std::optional<std::int32_t> callType) const {
        std::vector<Place> places;
        // Beside =, <, ...: a literal takes the type of the first argument that has one.
        std::optional<std::int32_t> sideType;
        for (std::size_t i = 0; i < parameters.size() && !sideType; ++i) {
            if (parameters[i] == passthrough_) sideType = OwnType(form.items[i + 1]);
        }
        for (std::size_t i = 0; i < parameters.size(); ++i) {
            const std::string what = "argument " + std::to_string(i + 1) + " of " + Quoted(f.name);
            const std::int32_t parameter = parameters[i];
            if (parameter != passthrough_) {
                places.push_back(Typed(parameter, what));
            } else if (f.returns != passthrough_) {
                const bool literal = !form.items[i + 1].IsList() && !OwnType(form.items[i + 1]);
                places.push_back(literal && sideType ? Typed(*sideType, what) : Any(what));
            } else if (IsStatementList(f) && i + 1 < parameters.size()) {
                places.push_back(Typed(void_, "a statement of " + Quoted(f.name)));
            } else if (f.name == "set") {
                const std::optional<std::int32_t> global = OwnType(form.items[1]);
                places.push_back(global ? Typed(*global, what) : Place{});
            } else if (callType) {
                places.push_back(Typed(*callType, what));
            } else {
                places.push_back(Place{});
            }
        }
        return places;
    }

    // The first argument of set names the global it sets: a scenario global or an engine global.
    std::optional<Expression> CheckSetTarget(const Form& form) {
        if (form.IsAtom()) {
            if (const GlobalDeclaration* g = FindScenarioGlobal(form.text)) return CheckScenarioGlobal(form, *g, Any("argument 1 of \"set\""));
        }
        const EngineGlobal* g = form.IsAtom() ? tables_.FindGlobal(form.text) : nullptr;
        if (g == nullptr) {
            UnknownName(form, (form.IsAtom() ? NoGlobal(form) : Describe(form) + " is no global") +
                                  ": the first argument of set names the global it changes");
            return std::nullopt;
        }
        return CheckGlobal(form, *g, Any("argument 1 of \"set\""));
    }

    // Two arguments of =, <, ... whose types do not convert either way are compared as the game
    // stores them, which is rarely what was meant.
    void WarnComparison(const Form& form, const EngineFunction& f, const std::vector<std::int32_t>& parameters) {
        if (f.returns == passthrough_ || parameters.size() != 2 || parameters[0] != passthrough_ || parameters[1] != passthrough_) {
            return;
        }
        const std::optional<std::int32_t> a = OwnType(form.items[1]), b = OwnType(form.items[2]);
        if (a && b && !tables_.CanConvert(*a, *b) && !tables_.CanConvert(*b, *a)) {
            Warn(form.at, Quoted(f.name) + " compares " + TypeName(*a) + " with " + TypeName(*b) + ", which do not convert to each other");
        }
    }

    std::optional<Expression> CheckScriptCall(const Form& form, const ScriptDeclaration& script, const Place& place, int depth) {
        bool complete = true;
        if (form.items.size() > 1) {
            Error(form.items[1].at, "the script " + Quoted(script.name) + " takes no arguments");
            CheckUnchecked(form, 1, depth + 1);
            complete = false;
        }
        if (script.runByTheGame) {
            Error(form.at, Quoted(script.name) + " is a " + tables_.ScriptTypes()[static_cast<std::size_t>(script.type)] +
                               " script: only static and stub scripts can be called" +
                               (script.type == *ScriptType("dormant") ? " (start it with (wake " + script.name + "))" : ""));
            complete = false;
        }
        std::int32_t type = script.returnType;
        if (place.kind == Place::Kind::Typed) {
            if (!Converts(script.returnType, place, form.at, "the script " + Quoted(script.name) + " returns")) {
                Error(form.at, "the script " + Quoted(script.name) + " returns " + TypeName(script.returnType) +
                                   ", which cannot stand where " + TypeName(place.type) + " is expected (" + place.what + ")");
                complete = false;
            }
            type = place.type;
        }
        if (!complete) return std::nullopt;
        const std::int32_t index = RecordIndex(script);
        return Expression{Expression::Kind::ScriptCall, form.at, script.name, index, type, {}};
    }

    // ---- Words: globals and literals ------------------------------------------------------

    std::optional<Expression> CheckWord(const Form& form, const Place& place) {
        if (place.kind == Place::Kind::Unchecked) return std::nullopt;
        const bool scriptPlace = place.kind == Place::Kind::Typed && place.type == script_;
        if (form.IsAtom() && !scriptPlace) {
            if (const GlobalDeclaration* g = FindScenarioGlobal(form.text)) return CheckScenarioGlobal(form, *g, place);
            if (const EngineGlobal* g = tables_.FindGlobal(form.text)) return CheckGlobal(form, *g, place);
        }
        return CheckLiteral(form, place);
    }

    std::optional<Expression> CheckGlobal(const Form& form, const EngineGlobal& g, const Place& place) {
        if (!g.In(build_)) Warn(form.at, "the engine global " + Quoted(g.name) + " " + OnlyIn(g));
        return GlobalRead(form, "the engine global " + Quoted(g.name), g.name, g.type, -1, place);
    }

    std::optional<Expression> CheckScenarioGlobal(const Form& form, const GlobalDeclaration& g, const Place& place) {
        if (!g.valid) return std::nullopt;
        const auto index = static_cast<std::int32_t>(&g - globals_.data());
        if (checkingGlobal_ && static_cast<std::size_t>(index) >= *checkingGlobal_) {
            Warn(form.at, "the initial value of " + Quoted(globals_[*checkingGlobal_].name) + " reads the global " + Quoted(g.name) +
                              (static_cast<std::size_t>(index) == *checkingGlobal_ ? ", itself" : ", declared after it") +
                              ": globals are given their initial values in the order they are declared");
        }
        return GlobalRead(form, "the global " + Quoted(g.name), g.name, g.type, index, place);
    }

    // A read of a global: the node carries its place's type, to which the global's must convert.
    std::optional<Expression> GlobalRead(const Form& form, const std::string& what, const std::string& name, std::int32_t own,
                                         std::int32_t index, const Place& place) {
        std::int32_t type = own;
        if (place.kind == Place::Kind::Typed) {
            if (!Converts(own, place, form.at, what + " is")) {
                const bool text = place.type == string_ || place.type >= firstNameType_;
                Error(form.at, what + " is " + TypeName(own) + ", which cannot stand where " + TypeName(place.type) +
                                   " is expected (" + place.what + ")" +
                                   (text ? "; for the text, write \"" + name + "\" in double quotes" : ""));
                return std::nullopt;
            }
            type = place.type;
        }
        return Expression{Expression::Kind::Global, form.at, name, index, type, {}};
    }

    // The engine's conversions, and one more the game's compiler makes, as the game's own scripts
    // show ((sleep_until (camera_time)), a short): a number where a boolean is expected, with a
    // warning, since what the game makes of the number is not documented.
    bool Converts(std::int32_t from, const Place& place, SourcePosition at, const std::string& what) {
        if (tables_.CanConvert(from, place.type)) return true;
        const bool number = from == language::kRealType || from == language::kShortType || from == language::kLongType;
        if (place.type != boolean_ || !number) return false;
        Warn(at, what + " " + TypeName(from) + " where a boolean is expected (" + place.what +
                     "): the game's compiler takes it, but what the game makes of a number there is not documented; "
                     "compare it with (!= ... 0) or (= ... 0) to say what you mean");
        return true;
    }

    // A word that names nothing where a global would do: `message`, and the closest globals.
    void UnknownName(const Form& form, const std::string& message) {
        std::vector<const std::string*> candidates;
        for (const EngineGlobal& g : tables_.Globals()) {
            if (g.In(build_)) candidates.push_back(&g.name);
        }
        const std::vector<std::string> close = form.IsList() ? std::vector<std::string>() : ClosestNames(form.text, candidates);
        Error(form.at, message + (close.empty() ? "" : "; did you mean " + Alternatives(QuotedAll(close)) + "?"));
    }

    std::string NoGlobal(const Form& form) const { return Quoted(form.text) + " is no engine global of " + BuildText(); }

    std::optional<Expression> CheckLiteral(const Form& form, const Place& place) {
        std::int32_t type = place.type;
        // A literal standing as a statement, or where any type goes, keeps its own type.
        if (place.kind == Place::Kind::Any || type == void_ || type == passthrough_) {
            const std::optional<std::int32_t> own = form.IsString() ? std::optional<std::int32_t>(string_) : OwnLiteralType(form.text);
            if (!own) {
                UnknownName(form, NoGlobal(form) + ", and " + place.what + " takes any type, so nothing says what it names");
                return std::nullopt;
            }
            type = *own;
        }
        std::optional<std::string> value = ReadLiteral(form, type, place);
        if (!value) return std::nullopt;
        return Expression{Expression::Kind::Literal, form.at, std::move(*value), 0, type, {}};
    }

    std::optional<std::string> ReadLiteral(const Form& form, std::int32_t type, const Place& place) {
        LiteralReading reading;
        switch (type) {
            case language::kBooleanType: reading = ReadBooleanInPlace(form.text); break;
            case language::kRealType: reading = ReadReal(form.text); break;
            case language::kShortType: reading = ReadShort(form.text); break;
            case language::kLongType: reading = ReadLong(form.text); break;
            default:
                if (type == string_) return form.text;
                if (type == script_) return ReadScriptName(form, place);
                if (type < firstNameType_) {
                    Error(form.at, "no literal can stand where " + TypeName(type) + " is expected (" + place.what + ")");
                    return std::nullopt;
                }
                return form.text;
        }
        if (reading.value) return reading.value;
        if (form.IsAtom() && !IsNumber(form.text) && !ReadBoolean(form.text).value) {
            UnknownName(form, Quoted(form.text) + " is no " + (type == language::kBooleanType ? "boolean (true, false, on or off)" : "number") +
                                  " and no engine global of " + BuildText() + " (" + place.what + " is " + TypeName(type) + ")");
        } else {
            Error(form.at, reading.problem + " (" + place.what + ")");
        }
        return std::nullopt;
    }

    std::optional<std::string> ReadScriptName(const Form& form, const Place& place) {
        if (FindScript(form.text) != nullptr) return form.text;
        std::vector<const std::string*> candidates;
        for (const ScriptDeclaration& s : scripts_) {
            if (s.valid) candidates.push_back(&s.name);
        }
        const std::vector<std::string> close = ClosestNames(form.text, candidates);
        Error(form.at, "no script of this source is named " + Quoted(form.text) + " (" + place.what + ")" +
                           (close.empty() ? "" : "; did you mean " + Alternatives(QuotedAll(close)) + "?"));
        return std::nullopt;
    }

    const EngineTables& tables_;
    const engine::EngineBuild build_;
    const std::vector<std::string>& files_;
    std::vector<Diagnostic>& out_;
    const std::int32_t boolean_, void_, passthrough_, string_, script_, firstNameType_;
    std::vector<ScriptDeclaration> scripts_;
    // Scripts and globals by name, the first of each: one namespace.
    struct Declared {
        bool global = false;
        std::size_t index = 0;  // in globals_ or scripts_
    };
    std::unordered_map<std::string, Declared> declared_;
    std::vector<GlobalDeclaration> globals_;
    std::vector<std::int32_t> recordIndex_;       // of each of scripts_; -1 for a replaced stub
    std::optional<std::size_t> checkingGlobal_;  // the global whose initial value is being checked
    bool depthWarned_ = false;                                   // once per script
};

}  // namespace

CheckedProgram CheckProgram(const std::vector<Form>& forms, const engine::EngineTables& tables, engine::EngineBuild build,
                            const std::vector<std::string>& files) {
    CheckedProgram checked;
    checked.program = ProgramCheck(tables, build, files, checked.diagnostics).Run(forms);
    return checked;
}

}  // namespace xsc::hsc
