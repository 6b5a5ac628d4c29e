#include "hsc/RaisedScript.h"

#include <algorithm>
#include <functional>

#include "xml/ScriptIndex.h"
#include "xml/ScriptLanguage.h"
#include "common/ValueDecoding.h"
#include "engine/EngineTables.h"
#include "hsc/Lexer.h"
#include "hsc/Literals.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc::hsc {
namespace {

using namespace scriptformat;

bool IsWord(std::string_view text) { return !text.empty() && std::all_of(text.begin(), text.end(), IsAtomCharacter); }

Form Atom(std::string text) { return Form{Form::Kind::Atom, std::move(text), {}, {}}; }
Form String(std::string text) { return Form{Form::Kind::String, std::move(text), {}, {}}; }

// A record's name: bare when it is a word that is no type's name (a type's would be read as a
// return type), else in quotes.
Form NameForm(const std::string& name, const engine::EngineTables& tables, const std::function<void(const std::string&)>& fail) {
    const bool word = IsWord(name) && !tables.ValueTypeCode(name);
    if (!word && name.find('"') != std::string::npos) fail("its name holds a double quote");
    return word ? Atom(name) : String(name);
}

class ScriptRaise {
public:
    ScriptRaise(const ScriptPlace& place, const std::vector<WalkedNode>& body, const std::vector<std::optional<std::string>>& texts,
                const RaiseNames& names, const engine::EngineTables& tables, const RaiseFault& fault)
        : place_(place), body_(body), texts_(texts), scripts_(names.scripts), globals_(names.globals), tables_(tables), fault_(fault) {}

    RaisedScript Raise(std::vector<Form> header) const {
        RaisedScript raised;
        raised.form = Form{Form::Kind::List, {}, std::move(header), {}};
        raised.firstStatement = raised.form.items.size();
        // The lists being filled, innermost last: a node at depth d is an item of open[d].
        std::vector<Form*> open{&raised.form};
        for (std::size_t i = 0; i < body_.size(); ++i) {
            const WalkedNode& w = body_[i];
            if (static_cast<std::size_t>(w.depth) >= kMaxNesting) Fail(w.slot, "calls nested deeper than the source language reads them");
            open.resize(static_cast<std::size_t>(w.depth) + 1);
            Form& parent = *open.back();
            parent.items.push_back(Expression(w, texts_[i]));
            if (parent.items.back().IsList()) open.push_back(&parent.items.back());
        }
        return raised;
    }

    [[noreturn]] void Fail(std::int32_t slot, const std::string& what) const { throw fault_(place_, slot, what); }

    std::vector<Form> ScriptHeader(const StoredRecord& record, const std::string& name) const {
        const std::vector<std::string>& kinds = tables_.ScriptTypes();
        if (record.type < 0 || static_cast<std::size_t>(record.type) >= kinds.size()) {
            Fail(-1, "its script type " + std::to_string(record.type) + " is none the source language has");
        }
        const std::string& kind = kinds[static_cast<std::size_t>(record.type)];
        const bool called = kind == "static" || kind == "stub";
        const std::string returns = tables_.ValueTypeName(record.returnType);
        if (!called && returns != "void") {
            Fail(-1, "a " + kind + " script that returns " + (returns.empty() ? std::to_string(record.returnType) : returns) +
                         ": in the source language only static and stub scripts return a value");
        }
        if (returns.empty()) Fail(-1, "its return type " + std::to_string(record.returnType) + " is no value type");
        std::vector<Form> header{Atom("script"), Atom(kind)};
        if (called) header.push_back(Atom(returns));
        header.push_back(NameForm(name, tables_, [&](const std::string& what) { Fail(-1, what); }));
        return header;
    }

    std::vector<Form> GlobalHeader(const StoredGlobal& record, const std::string& name) const {
        const std::string type = tables_.ValueTypeName(record.type);
        if (record.type < language::kBooleanType || type.empty()) {
            Fail(-1, "its value type " + std::to_string(record.type) + " is none a global of the source language has");
        }
        return {Atom("global"), Atom(type), NameForm(name, tables_, [&](const std::string& what) { Fail(-1, what); })};
    }

private:

    Form Expression(const WalkedNode& w, const std::optional<std::string>& text) const {
        const std::string& t = text.value_or(std::string());
        switch (w.node.expType) {
            case kExpTypeCall:
            case kExpTypeScriptCall:
                if (!IsWord(t)) Fail(w.slot, "a call of " + Quoted(t) + ", which is no word of the source language");
                return Form{Form::Kind::List, {}, {Atom(t)}, {}};
            case kExpTypeGlobal: {
                const GlobalRead read = ReadOfGlobalNode(w.node, text, globals_);
                if (read != GlobalRead::Scenario && read != GlobalRead::Engine) {
                    Fail(w.slot, "a global that stores its value in the node, which the source language never writes");
                }
                if (!IsWord(t)) Fail(w.slot, "a global named " + Quoted(t) + ", which is no word of the source language");
                return Atom(t);
            }
            default: return Value(w, text);
        }
    }

    // The value as the XML language would write it (ValueDecoding.h), when it is a value a
    // literal of its own type gives: the numeric types without a text, every other type with one
    // (a boolean word that is no boolean, and the wider value types, are the XML language's only).
    Form Value(const WalkedNode& w, const std::optional<std::string>& text) const {
        const std::int16_t type = w.node.valueType;
        const auto decoded = DecodeScriptValue(type, w.node.childOrValue, text, scripts_);
        const bool numeric = type >= language::kBooleanType && type <= language::kLongType;
        if (!decoded || decoded->valueType != type || numeric == text.has_value()) {
            Fail(w.slot, "a " + TypeName(type) + " value stored " + (text ? "with a text" : "without a text") +
                             ", which the source language never writes so");
        }
        return numeric ? Atom(decoded->value) : Name(w, type, decoded->value);
    }

    // Texts: strings in quotes; names bare where nothing else would be read from them.
    Form Name(const WalkedNode& w, std::int16_t type, const std::string& text) const {
        const bool readAsName = type != *tables_.ValueTypeCode("string") && IsWord(text) && !IsNumber(text) &&
                                (type == language::kScriptType || tables_.FindGlobal(text) == nullptr);
        if (readAsName) return Atom(text);
        if (text.find('"') != std::string::npos) Fail(w.slot, "its text " + QuotedExcerpt(text) + " holds a double quote, which no string can");
        return String(text);
    }

    std::string TypeName(std::int16_t type) const {
        const std::string name = tables_.ValueTypeName(type);
        return name.empty() ? "type " + std::to_string(type) : name;
    }

    const ScriptPlace& place_;
    const std::vector<WalkedNode>& body_;
    const std::vector<std::optional<std::string>>& texts_;
    const ScriptIndex& scripts_;
    const ScriptIndex& globals_;
    const engine::EngineTables& tables_;
    const RaiseFault& fault_;
};

void CollectPositions(const Form& form, std::vector<SourcePosition>& out) {
    out.push_back(form.at);
    if (!form.IsList()) return;
    for (std::size_t i = 1; i < form.items.size(); ++i) CollectPositions(form.items[i], out);
}

}  // namespace

RaisedScript RaiseScript(const DecodedScript& script, const RaiseNames& names, const engine::EngineTables& tables,
                         const RaiseFault& fault) {
    const ScriptRaise raise(script.walked.place, script.walked.body, script.texts, names, tables, fault);
    return raise.Raise(raise.ScriptHeader(script.walked.record, script.name));
}

RaisedScript RaiseGlobal(const DecodedGlobal& global, const RaiseNames& names, const engine::EngineTables& tables,
                         const RaiseFault& fault) {
    const ScriptRaise raise(global.walked.place, global.walked.body, global.texts, names, tables, fault);
    return raise.Raise(raise.GlobalHeader(global.walked.record, global.name));
}

std::vector<SourcePosition> NodePositions(const RaisedScript& script) {
    std::vector<SourcePosition> positions;
    for (std::size_t i = script.firstStatement; i < script.form.items.size(); ++i) CollectPositions(script.form.items[i], positions);
    return positions;
}

}  // namespace xsc::hsc
