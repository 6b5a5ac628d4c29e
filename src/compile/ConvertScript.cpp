#include "compile/ConvertScript.h"

#include "compile/BuildPhase.h"
#include "compile/DecompileSource.h"
#include "xml/ScriptLanguage.h"
#include "runtime/XmlWriter.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {
namespace {

using namespace scriptformat;

// The element each node slot of a build was made from (nothing for fillers and begin nodes), and
// the element of each script and global: a build takes, for each script, four fillers, then each
// expression element's nodes (two for a call of a function or script, one otherwise) depth
// first, then three more; behind every script, each global's initial value's nodes.
struct SlotElements {
    std::vector<const XmlNode*> bySlot;
    std::vector<const XmlNode*> scripts;
    std::vector<const XmlNode*> globals;

    void AppendExpressions(const XmlNode& parent) {
        std::vector<const XmlNode*> pending(parent.Children.rbegin(), parent.Children.rend());
        while (!pending.empty()) {
            const XmlNode* element = pending.back();
            pending.pop_back();
            const language::ExpressionKind kind = language::ClassifyExpression(element->Name);
            const bool call = kind == language::ExpressionKind::Call || kind == language::ExpressionKind::ScriptCall;
            bySlot.push_back(element);
            if (call) bySlot.push_back(element);
            pending.insert(pending.end(), element->Children.rbegin(), element->Children.rend());
        }
    }
};

SlotElements ElementsOfSlots(const XmlDocument& document) {
    SlotElements found;
    for (const XmlNode* child : document.DocumentElement()->Children) {
        if (language::IsGlobalDefinition(*child)) {
            found.globals.push_back(child);
            continue;
        }
        found.scripts.push_back(child);
        found.bySlot.resize(found.bySlot.size() + kLeadingFillers, nullptr);
        found.AppendExpressions(*child);
        found.bySlot.resize(found.bySlot.size() + kBeginNodes + kTrailingFillers, nullptr);
    }
    for (const XmlNode* global : found.globals) found.AppendExpressions(*global);
    return found;
}

}  // namespace

std::string ConvertToXml(const XmlDocument& document, engine::EngineBuild build) {
    return XmlWriter::WriteDocument(document, "Converted from the source language for the " + std::string(engine::BuildName(build)) +
                                                  " build: EngineId is each function's number in that build.");
}

std::string ConvertToSource(const XmlDocument& document, engine::EngineBuild build) {
    ScriptCompilier state;
    const BuiltScripts built = BuildPhase(state, document);
    const SlotElements elements = ElementsOfSlots(document);
    const hsc::RaiseFault fault = [&](const ScriptPlace& place, std::int32_t slot, const std::string& what) {
        const XmlNode* element = slot >= 0 ? elements.bySlot.at(static_cast<std::size_t>(slot)) : nullptr;
        if (element == nullptr) element = (place.global ? elements.globals : elements.scripts).at(place.record);
        return Error::AtScript("the source language cannot write this: " + what, element->Line, element->Column);
    };
    return DecompileToSource(BuiltScriptData(state, built), build, fault,
                             "Converted from XML for the " + std::string(engine::BuildName(build)) + " build of the game.");
}

}  // namespace xsc
