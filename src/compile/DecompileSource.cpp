#include "compile/DecompileSource.h"

#include <algorithm>

#include "compile/BuildInPieces.h"
#include "compile/BuildPhase.h"
#include "common/Diagnostic.h"
#include "xml/ScriptIndex.h"
#include "engine/EngineTables.h"
#include "hsc/SourceCompile.h"
#include "hsc/SourcePrinter.h"
#include "names/DesignatedNames.h"
#include "runtime/Windows1252.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {
namespace {

using namespace scriptformat;

constexpr const char* kXmlHint = "; xsc decompile without --hsc writes it in the XML language";

std::string KindName(std::int16_t expType) {
    switch (expType) {
        case kExpTypeCall: return "a function call";
        case kExpTypeScriptCall: return "a script call";
        case kExpTypeGlobal: return "a global";
        default: return "a value";
    }
}

std::string TypeText(std::int32_t code) {
    const std::string name = engine::EngineTables::BuiltIn().ValueTypeName(code);
    return std::to_string(code) + (name.empty() ? "" : " (" + name + ")");
}

// How closely the compile of the text must give the map's nodes back.
//   Exact     xsc's own layout: every field and text offset (`moved`: texts were renamed, so
//             the offsets of the texts behind them differ).
//   UpToLayout another compiler's layout: the same tree (shape, kinds, function and script
//             numbers), the value types of values and global reads (their places decide them),
//             the values and the texts. Not compared: slots and salts, string offsets (texts are
//             shared, calls point into a zero tail), and the value type of a call, which the
//             official compiler sets from the place (void for a statement whose result nobody
//             reads) where xsc writes the function's own.
enum class Match { Exact, UpToLayout };

// What the source compiles differently at one node, or nothing.
std::optional<std::string> NodeDifference(const WalkedNode& map, const std::optional<std::string>& mapText, const WalkedNode& source,
                                          const std::optional<std::string>& sourceText, bool moved, Match match) {
    const StoredNode& a = map.node;
    const StoredNode& b = source.node;
    if (a.expType != b.expType || map.depth != source.depth || map.hasArguments != source.hasArguments) {
        return "the source language reads it back as " + KindName(b.expType) + " at another place in the tree";
    }
    const bool callType = match == Match::UpToLayout && IsCallKind(a.expType);
    if (a.valueType != b.valueType && !callType) {
        return "its value type is " + TypeText(a.valueType) + ", where the source language writes " + TypeText(b.valueType) +
               " (the type its place expects)";
    }
    if (a.engine != b.engine) {
        if (a.expType == kExpTypeCall) {
            return "it calls function " + std::to_string(a.engine) + ", but " + Quoted(mapText.value_or("")) + " is function " +
                   std::to_string(b.engine) + " in this build";
        }
        return "its function number field holds " + std::to_string(a.engine) + ", where the source language writes " +
               std::to_string(b.engine);
    }
    if (!IsCallKind(a.expType) && a.childOrValue != b.childOrValue) {
        return "its value bytes are " + Hex(a.childOrValue) + ", where the source language writes " + Hex(b.childOrValue);
    }
    const bool offsets = match == Match::Exact && !moved;
    if (mapText != sourceText || (offsets && a.stringOffset != b.stringOffset)) return "the source language stores its text otherwise";
    return std::nullopt;
}

class SourceDecompile {
public:
    SourceDecompile(const CompiledScriptData& data, engine::EngineBuild build, const hsc::RaiseFault& fault, const NameResolver* names)
        : data_(data), build_(build), fault_(fault), names_(names) {}

    std::string Run(const std::string& heading) {
        if (data_.fresh) {
            return "; The map holds no compiled scripts: its string data is the 1024 zero bytes of a map never compiled into.\n";
        }
        decoded_ = DecodeScriptData(data_);
        std::vector<std::string> headings{heading};
        if (names_) {
            for (const RenamedValue& r : DesignateNames(decoded_, *names_)) {
                const std::string& owner = r.global ? decoded_.globals[r.record].name : decoded_.scripts[r.record].name;
                headings.push_back(std::string(r.global ? "In global " : "In script ") + owner + ": a value " + RenamedNote(r));
                renamed_ = true;
            }
        }
        const ScriptIndex scripts = RecordIndex(decoded_.scripts), globals = RecordIndex(decoded_.globals);
        const hsc::RaiseNames names{scripts, globals};
        std::vector<hsc::Form> forms;
        // Globals first, as sources declare them; the places of the raised forms follow this order.
        for (const DecodedGlobal& global : decoded_.globals) {
            raised_.push_back(hsc::RaiseGlobal(global, names, engine::EngineTables::BuiltIn(), fault_));
            places_.push_back({&global.walked.place, &global.walked.body});
        }
        for (const DecodedScript& script : decoded_.scripts) {
            raised_.push_back(hsc::RaiseScript(script, names, engine::EngineTables::BuiltIn(), fault_));
            places_.push_back({&script.walked.place, &script.walked.body});
        }
        for (hsc::RaisedScript& raised : raised_) forms.push_back(std::move(raised.form));
        if (HasWindows1252Text()) {
            headings.push_back("Its names and texts are in the Windows-1252 code page, byte for byte as the map holds them: keep the file so.");
        }
        const std::string text = hsc::PrintSource(forms, headings);
        // The printed positions, for finding the nodes the compile of the text reports.
        for (std::size_t i = 0; i < raised_.size(); ++i) raised_[i].form = std::move(forms[i]);
        Verify(text);
        return text;
    }

private:
    // The raised forms' records, in the order they are printed: the globals', then the scripts'.
    struct Place {
        const ScriptPlace* place;
        const std::vector<WalkedNode>* body;
    };

    [[noreturn]] void Fail(std::size_t form, std::int32_t slot, const std::string& what) const {
        throw fault_(*places_[form].place, slot, what);
    }

    bool HasWindows1252Text() const {
        const auto any = [](const auto& decoded) {
            return std::any_of(decoded.begin(), decoded.end(), [](const auto& d) {
                return !IsUtf8(d.name) ||
                       std::any_of(d.texts.begin(), d.texts.end(), [](const std::optional<std::string>& t) { return t && !IsUtf8(*t); });
            });
        };
        return any(decoded_.scripts) || any(decoded_.globals);
    }

    // The script and slot of the node printed at a position (a call's "(" or the name right behind
    // it); the record (-1) when no node is there.
    std::pair<std::size_t, std::int32_t> NodeAt(std::int64_t line, std::int64_t column) const {
        std::size_t script = 0;
        for (std::size_t i = 0; i < raised_.size(); ++i) {
            if (raised_[i].form.at.line <= line) script = i;
            const std::vector<hsc::SourcePosition> positions = hsc::NodePositions(raised_[i]);
            const auto found = std::find_if(positions.begin(), positions.end(), [&](const hsc::SourcePosition& p) {
                return p.line == line && (p.column == column || p.column + 1 == column);
            });
            if (found != positions.end()) return {i, (*places_[i].body)[static_cast<std::size_t>(found - positions.begin())].slot};
        }
        return {script, -1};
    }

    void Verify(const std::string& text) {
        const hsc::CompiledSource compiled = hsc::CompileSource(text, engine::EngineTables::BuiltIn(), build_);
        if (!compiled.document) {
            const auto error = std::find_if(compiled.diagnostics.begin(), compiled.diagnostics.end(),
                                            [](const Diagnostic& d) { return d.severity == Diagnostic::Severity::Error; });
            const auto [script, slot] = NodeAt(error->line, error->column);
            Fail(script, slot, "the source language does not read it back: " + error->message);
        }
        const DecodedScriptData again = Build(*compiled.document);
        const std::size_t globals = decoded_.globals.size();
        for (std::size_t i = 0; i < globals; ++i) {
            const DecodedGlobal& a = decoded_.globals[i];
            const DecodedGlobal& b = again.globals.at(i);
            if (a.name != b.name || a.walked.record.type != b.walked.record.type) Fail(i, -1, "the source language reads its record back otherwise");
            CompareBodies(i, a.walked.body, a.texts, b.walked.body, b.texts);
        }
        for (std::size_t i = 0; i < decoded_.scripts.size(); ++i) {
            const DecodedScript& a = decoded_.scripts[i];
            const DecodedScript& b = again.scripts.at(i);
            if (a.name != b.name || a.walked.record.type != b.walked.record.type ||
                a.walked.record.returnType != b.walked.record.returnType) {
                Fail(globals + i, -1, "the source language reads its record back otherwise");
            }
            CompareBodies(globals + i, a.walked.body, a.texts, b.walked.body, b.texts);
        }
    }

    // The trees the text compiles to. Another compiler's may take more slots than xsc's layout
    // numbers in one piece (BuildInPieces.h); xsc's own are built whole, slots and offsets as the
    // map holds them.
    DecodedScriptData Build(const XmlDocument& document) const {
        if (decoded_.layout == ScriptLayout::Other) {
            // Slots: one per expression, two per call (its name node).
            const auto slots = [](const std::vector<WalkedNode>& body) {
                return body.size() + static_cast<std::size_t>(std::count_if(body.begin(), body.end(), [](const WalkedNode& w) {
                           return IsCallKind(w.node.expType);
                       }));
            };
            std::vector<std::size_t> scriptSlots;
            for (const DecodedScript& s : decoded_.scripts) scriptSlots.push_back(slots(s.walked.body));
            std::size_t globalSlots = 0;
            for (const DecodedGlobal& g : decoded_.globals) globalSlots += slots(g.walked.body);
            return BuildInPieces(document, scriptSlots, globalSlots);
        }
        ScriptCompilier state;
        const BuiltScripts built = BuildPhase(state, document);
        return DecodeScriptData(BuiltScriptData(state, built));
    }

    using Texts = std::vector<std::optional<std::string>>;
    void CompareBodies(std::size_t form, const std::vector<WalkedNode>& nodes, const Texts& texts, const std::vector<WalkedNode>& again,
                       const Texts& againTexts) const {
        for (std::size_t k = 0; k < nodes.size(); ++k) {
            if (k >= again.size()) Fail(form, nodes[k].slot, "the source language reads it back with fewer nodes");
            const Match match = decoded_.layout == ScriptLayout::Xsc ? Match::Exact : Match::UpToLayout;
            if (auto difference = NodeDifference(nodes[k], texts[k], again[k], againTexts[k], renamed_, match)) {
                Fail(form, nodes[k].slot, *difference);
            }
        }
        if (again.size() > nodes.size()) Fail(form, -1, "the source language reads it back with more nodes");
    }

    const CompiledScriptData& data_;
    const engine::EngineBuild build_;
    const hsc::RaiseFault& fault_;
    const NameResolver* names_;
    bool renamed_ = false;
    DecodedScriptData decoded_;
    std::vector<hsc::RaisedScript> raised_;
    std::vector<Place> places_;
};

}  // namespace

std::string DecompileToSource(const CompiledScriptData& data, engine::EngineBuild build, const hsc::RaiseFault& fault,
                              const std::string& heading, const NameResolver* names) {
    return SourceDecompile(data, build, fault, names).Run(heading);
}

std::string DecompileToSource(const CompiledScriptData& data, engine::EngineBuild build, const NameResolver* names) {
    const hsc::RaiseFault fault = [](const ScriptPlace& place, std::int32_t slot, const std::string& what) {
        const std::string message = what + kXmlHint;
        return slot < 0 ? place.Here(message) : place.At(slot, message);
    };
    return DecompileToSource(data, build, fault, "The map's scripts, for the " + std::string(engine::BuildName(build)) + " build of the game.",
                             names);
}

}  // namespace xsc
