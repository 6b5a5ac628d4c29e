#include "scriptdata/BuildPhase.h"

#include "compiler/ScriptLanguage.h"
#include "compiler/XmlBuild.h"
#include "runtime/Error.h"
#include "runtime/Val.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/RoundToMultiple.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/Syntax.h"

namespace xsc {
namespace {

using namespace scriptformat;

// Slots [firstSlot, firstSlot + 4) and lastSlot of a script are fillers; the rest are real nodes.
struct ScriptSlots {
    std::int32_t firstSlot = 0;
    std::int32_t lastSlot = 0;
    const XmlNode* element = nullptr;
};

// Node slots hold their identity and slot index in 16 bits each.
constexpr std::int64_t kIdentityPeriod = 65536;
// The slot whose identity number wraps to 0, the identity that marks a filler node.
constexpr std::int64_t kZeroIdentitySlot = -std::int64_t{kOriganalSyntaxNumber};

void WriteNodeHead(MemoryBlock& block, std::size_t slot, std::int32_t identity, std::int32_t engine,
                   std::int32_t valueType, std::int32_t expType) {
    block.Int16Value(slot + kNodeExpIdentity, identity);
    block.Int16Value(slot + kNodeEngineIdentity, engine);
    block.Int16Value(slot + kNodeValueType, valueType);
    block.Int16Value(slot + kNodeExpType, expType);
}

// The four fillers in front of every script body. The first names the second as its child; the
// second and third name the next filler as sibling; the fourth names the first body slot.
void AppendLeadingFillers(ScriptCompilier& state) {
    for (int k = 0; k < 4; ++k) {
        const std::int32_t n = state.CurrentSyntaxNumber;
        const std::size_t slot = state.AppendSlot();
        MemoryBlock& block = state.SyntaxBlock;
        const std::int32_t next = ScriptCompilier::NodePointer(n + 1);
        if (k == 0) {
            WriteNodeHead(block, slot, 0, -1, 1, 0);
            block.Int32Value(slot + kNodeSibling, kNoNode);
            block.Int32Value(slot + kNodeStringOffset, 0);
            block.Int32Value(slot + kNodeChildOrValue, next);
        } else {
            WriteNodeHead(block, slot, 0, -1, 0, 1);
            block.Int32Value(slot + kNodeSibling, next);
            block.Int32Value(slot + kNodeStringOffset, 0);
            block.Int32Value(slot + kNodeChildOrValue, 0);
        }
        ++state.CurrentSyntaxNumber;
    }
}

// The root of every script: a call of "begin" (identity k) whose name node (k + 1) has the
// first body node (identity firstBody) as sibling, so the body's statements are its arguments.
void AppendBeginNodes(ScriptCompilier& state, std::int32_t k, std::int32_t firstBody, std::int32_t returnType) {
    MemoryBlock& block = state.SyntaxBlock;
    const std::size_t call = state.AppendSlot();
    WriteNodeHead(block, call, k, 0, returnType, kExpTypeCall);
    block.Int32Value(call + kNodeSibling, kNoNode);
    block.Int32Value(call + kNodeStringOffset, 0);
    block.Int32Value(call + kNodeChildOrValue, ScriptCompilier::NodePointer(k + 1));

    const std::size_t name = state.AppendSlot();
    WriteNodeHead(block, name, k + 1, 0, kFunctionNameValueType, kExpTypeNameOrValue);
    block.Int32Value(name + kNodeSibling, ScriptCompilier::NodePointer(firstBody));
    block.Int32Value(name + kNodeStringOffset, 0);
    block.Int32Value(name + kNodeChildOrValue, 0);
    state.RealSyn += 2;
}

// The filler behind every script: RealSyn - 1 and the first body identity + 1 in its sibling
// field.
void AppendTrailingFiller(ScriptCompilier& state, std::int32_t firstBody) {
    MemoryBlock& block = state.SyntaxBlock;
    const std::size_t slot = state.AppendSlot();
    WriteNodeHead(block, slot, 0, 0, 2, 1);
    block.Int16Value(slot + kNodeSibling, state.RealSyn - 1);
    block.Int16Value(slot + kNodeSibling + 2, firstBody + 1);
    block.Int32Value(slot + kNodeStringOffset, kNoNode);
    block.Int32Value(slot + kNodeChildOrValue, 0);
}

MemoryBlock MakeScriptRecord(const ScriptHeader& header, std::int32_t k) {
    MemoryBlock record(static_cast<std::size_t>(kRecordSize));
    record.StringValue(kRecordName, header.Name);
    record.Int16Value(kRecordType, header.Type);
    record.Int16Value(kRecordReturnType, header.ReturnType);
    record.Int32Value(kRecordRoot, ScriptCompilier::NodePointer(k));
    return record;
}

ScriptHeader ReadScriptHeader(const XmlNode& element) {
    ScriptHeader header;
    header.Type = NumberAttribute(element.GetAttribute(language::kTypeAttr));
    header.ReturnType = NumberAttribute(element.GetAttribute(language::kReTypeAttr));
    header.Name = element.GetAttribute(language::kNameAttr);
    if (header.Name.size() >= static_cast<std::size_t>(kRecordNameSize)) {
        throw Error::AtScript("script name \"" + header.Name + "\" is " + std::to_string(header.Name.size()) +
                                  " bytes long; at most " + std::to_string(kRecordNameSize - 1) +
                                  " bytes fit in a script record",
                              element.Line, element.Column);
    }
    return header;
}

// A real node whose 16-bit identity is 0 would be taken for a filler by the game.
void CheckNoRealNodeOnZeroIdentity(const std::vector<ScriptSlots>& scripts) {
    for (const ScriptSlots& s : scripts) {
        for (std::int64_t slot = kZeroIdentitySlot; slot <= s.lastSlot; slot += kIdentityPeriod) {
            const bool filler = slot < s.firstSlot + 4 || slot == s.lastSlot;
            if (slot >= s.firstSlot && !filler) {
                throw Error::AtScript("the script needs more than " + std::to_string(kZeroIdentitySlot) +
                                          " node slots: slot " + std::to_string(slot) +
                                          " would get identity 0, which marks an unused slot",
                                      s.element->Line, s.element->Column);
            }
        }
    }
}

}  // namespace

BuiltScripts BuildPhase(ScriptCompilier& state, const XmlDocument& document) {
    const XmlNode* root = document.DocumentElement();
    if (root == nullptr) throw Error::AtScript("the script has no root element", 1, 1);

    state.ResetForBuild();
    state.AppendString("begin");

    BuiltScripts built;
    std::vector<ScriptSlots> scripts;
    for (std::size_t i = 0; i < root->ChildCount(); ++i) {
        const XmlNode& element = root->Child(i);
        if (!element.IsElement()) {
            throw Error::AtScript("text is not allowed here: the root element holds script elements only",
                                  element.Line, element.Column);
        }
        ScriptSlots slots;
        slots.firstSlot = state.CurrentSyntaxNumber - ScriptCompilier::OriganalSyntaxNumber;
        slots.element = &element;
        AppendLeadingFillers(state);
        const std::int32_t firstBody = state.CurrentSyntaxNumber;
        const ScriptHeader header = ReadScriptHeader(element);
        state.CurrentSyntaxNumber = XmlBuild(state, element, state.CurrentSyntaxNumber);
        const std::int32_t k = state.CurrentSyntaxNumber;
        AppendBeginNodes(state, k, firstBody, header.ReturnType);
        AppendTrailingFiller(state, firstBody);
        state.CurrentSyntaxNumber = k + 3;
        slots.lastSlot = state.CurrentSyntaxNumber - ScriptCompilier::OriganalSyntaxNumber - 1;
        scripts.push_back(slots);
        built.records.push_back(MakeScriptRecord(header, k));
    }
    CheckNoRealNodeOnZeroIdentity(scripts);

    built.slots = static_cast<std::int32_t>(state.SyntaxBlock.Size() / kNodeSize);
    built.stringBytes = state.LengthIntoStrings;
    built.padding = math::RoundToMultiple(state.LengthIntoStrings, 4) - state.LengthIntoStrings;
    built.growth = kRecordSize * static_cast<std::int64_t>(built.records.size()) + built.stringBytes + built.padding;
    return built;
}

}  // namespace xsc
