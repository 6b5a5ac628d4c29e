#include "compile/DecompileSource.h"

#include <algorithm>

#include "compile/BuildPhase.h"
#include "common/Diagnostic.h"
#include "xml/ScriptIndex.h"
#include "engine/EngineTables.h"
#include "hsc/SourceCompile.h"
#include "hsc/SourcePrinter.h"
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

// What the source compiles differently at one node, or nothing.
std::optional<std::string> NodeDifference(const WalkedNode& map, const std::optional<std::string>& mapText, const WalkedNode& source,
                                          const std::optional<std::string>& sourceText) {
    const StoredNode& a = map.node;
    const StoredNode& b = source.node;
    if (a.expType != b.expType || map.depth != source.depth || map.hasArguments != source.hasArguments) {
        return "the source language reads it back as " + KindName(b.expType) + " at another place in the tree";
    }
    if (a.valueType != b.valueType) {
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
    if (mapText != sourceText || a.stringOffset != b.stringOffset) return "the source language stores its text otherwise";
    return std::nullopt;
}

class SourceDecompile {
public:
    SourceDecompile(const CompiledScriptData& data, engine::EngineBuild build, const hsc::RaiseFault& fault)
        : data_(data), build_(build), fault_(fault) {}

    std::string Run(const std::string& heading) {
        if (data_.fresh) {
            return "; The map holds no compiled scripts: its string data is the 1024 zero bytes of a map never compiled into.\n";
        }
        scripts_ = DecodeScripts(data_);
        std::vector<std::string> names;
        for (const DecodedScript& script : scripts_) names.push_back(script.name);
        const ScriptIndex index(names);
        std::vector<hsc::Form> forms;
        for (const DecodedScript& script : scripts_) {
            raised_.push_back(hsc::RaiseScript(script, index, engine::EngineTables::BuiltIn(), fault_));
            forms.push_back(std::move(raised_.back().form));
        }
        const std::string text = hsc::PrintSource(forms, {heading});
        // The printed positions, for finding the nodes the compile of the text reports.
        for (std::size_t i = 0; i < raised_.size(); ++i) raised_[i].form = std::move(forms[i]);
        Verify(text);
        return text;
    }

private:
    [[noreturn]] void Fail(std::size_t script, std::int32_t slot, const std::string& what) const {
        throw fault_(scripts_[script], slot, what);
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
            if (found != positions.end()) return {i, scripts_[i].walked.body[static_cast<std::size_t>(found - positions.begin())].slot};
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
        ScriptCompilier state;
        const BuiltScripts built = BuildPhase(state, *compiled.document);
        Compare(DecodeScripts(BuiltScriptData(state, built)));
    }

    void Compare(const std::vector<DecodedScript>& again) const {
        for (std::size_t i = 0; i < scripts_.size(); ++i) {
            const DecodedScript& a = scripts_[i];
            const DecodedScript& b = again.at(i);
            if (a.name != b.name || a.walked.record.type != b.walked.record.type ||
                a.walked.record.returnType != b.walked.record.returnType) {
                Fail(i, -1, "the source language reads its record back otherwise");
            }
            const std::vector<WalkedNode>& nodes = a.walked.body;
            for (std::size_t k = 0; k < nodes.size(); ++k) {
                if (k >= b.walked.body.size()) Fail(i, nodes[k].slot, "the source language reads the script back with fewer nodes");
                if (auto difference = NodeDifference(nodes[k], a.texts[k], b.walked.body[k], b.texts[k])) {
                    Fail(i, nodes[k].slot, *difference);
                }
            }
            if (b.walked.body.size() > nodes.size()) Fail(i, -1, "the source language reads the script back with more nodes");
        }
    }

    const CompiledScriptData& data_;
    const engine::EngineBuild build_;
    const hsc::RaiseFault& fault_;
    std::vector<DecodedScript> scripts_;
    std::vector<hsc::RaisedScript> raised_;
};

}  // namespace

std::string DecompileToSource(const CompiledScriptData& data, engine::EngineBuild build, const hsc::RaiseFault& fault,
                              const std::string& heading) {
    return SourceDecompile(data, build, fault).Run(heading);
}

std::string DecompileToSource(const CompiledScriptData& data, engine::EngineBuild build) {
    const hsc::RaiseFault fault = [](const DecodedScript& script, std::int32_t slot, const std::string& what) {
        const std::string message = what + kXmlHint;
        return slot < 0 ? script.walked.place.Here(message) : script.walked.place.At(slot, message);
    };
    return DecompileToSource(data, build, fault, "The map's scripts, for the " + std::string(engine::BuildName(build)) + " build of the game.");
}

}  // namespace xsc
