#include "compile/BuildPhase.h"

#include "engine/EngineLimits.h"
#include "xml/ScriptIndex.h"
#include "xml/ScriptLanguage.h"
#include "xml/XmlBuild.h"
#include "runtime/Error.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/RoundToMultiple.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/Syntax.h"

namespace xsc {
namespace {

using namespace scriptformat;

// Slots [firstSlot, firstSlot + 4) and lastSlot of a script are fillers; the rest are real nodes.
// A global's initial value has no fillers around it.
struct ScriptSlots {
    std::int32_t firstSlot = 0;
    std::int32_t lastSlot = 0;
    const XmlNode* element = nullptr;
    bool fillers = true;
};

Syntax Filler(const FillerPattern& pattern) {
    Syntax filler;
    filler.ExpIdentity = kFillerIdentity;
    filler.EngineIdentity = pattern.engine;
    filler.ValueType = pattern.valueType;
    filler.ExpType = pattern.expType;
    return filler;
}

// The four fillers in front of every script body. The first names the second in its last four
// bytes; the second and third name the next filler as sibling; the fourth names the first body
// slot.
void AppendLeadingFillers(ScriptCompilier& state) {
    for (std::int32_t k = 0; k < kLeadingFillers; ++k) {
        const std::int32_t next = ScriptCompilier::NodePointer(state.CurrentSyntaxNumber + 1);
        Syntax filler = Filler(k == 0 ? kFirstLeadingFiller : kOtherLeadingFiller);
        if (k == 0) {
            filler.ScriptValue = next;
        } else {
            filler.SibExpPointer = next;
        }
        state.AppendNode(filler);
        ++state.CurrentSyntaxNumber;
    }
}

// The root of every script: a call of "begin" (identity k) whose name node (k + 1) has the
// first body node (identity firstBody) as sibling, so the body's statements are its arguments.
void AppendBeginNodes(ScriptCompilier& state, std::int32_t k, std::int32_t firstBody, std::int32_t returnType) {
    Syntax call;
    call.ExpIdentity = k;
    call.EngineIdentity = kBeginEngineIdentity;
    call.ValueType = returnType;
    call.ExpType = kExpTypeCall;
    call.ScriptTableOffset = kBeginStringOffset;
    call.KidExpPointer = ScriptCompilier::NodePointer(k + 1);
    state.AppendNode(call);

    Syntax name = call;
    name.ExpIdentity = k + 1;
    name.ValueType = kFunctionNameValueType;
    name.ExpType = kExpTypeNameOrValue;
    name.SibExpPointer = ScriptCompilier::NodePointer(firstBody);
    state.AppendNode(name);
    state.RealSyn += kBeginNodes;
}

// The filler behind every script: RealSyn - 1 and the first body identity + 1 in its sibling
// field, 16 bits each.
void AppendTrailingFiller(ScriptCompilier& state, std::int32_t firstBody) {
    Syntax filler = Filler(kTrailingFiller);
    filler.SibExpPointer = static_cast<std::int32_t>((static_cast<std::uint32_t>(state.RealSyn - 1) & 0xFFFF) |
                                                     (static_cast<std::uint32_t>(firstBody + 1) << 16));
    filler.ScriptTableOffset = kTrailingFillerStringOffset;
    state.AppendNode(filler);
}

MemoryBlock MakeScriptRecord(const ScriptHeader& header) {
    MemoryBlock record(static_cast<std::size_t>(kRecordSize));
    record.StringValue(kRecordName, header.Name);
    record.Int16Value(kRecordType, header.Type);
    record.Int16Value(kRecordReturnType, header.ReturnType);
    record.Int32Value(kRecordRoot, header.ExpPointer);
    return record;
}

// A real node whose 16-bit identity is 0 would be taken for a filler by the game.
void CheckNoRealNodeOnZeroIdentity(const std::vector<ScriptSlots>& scripts) {
    for (const ScriptSlots& s : scripts) {
        for (std::int64_t slot = kZeroIdentitySlot; slot <= s.lastSlot; slot += kMaxAddressableSlots) {
            const bool filler = s.fillers && (slot < s.firstSlot + kLeadingFillers || slot == s.lastSlot);
            if (slot >= s.firstSlot && !filler) {
                throw Error::AtScript("the script needs more than " + std::to_string(kZeroIdentitySlot) +
                                          " node slots: slot " + std::to_string(slot) +
                                          " would get identity 0, which marks an unused slot",
                                      s.element->Line, s.element->Column, s.element->File);
            }
        }
    }
}

MemoryBlock MakeGlobalRecord(const GlobalHeader& header) {
    MemoryBlock record(static_cast<std::size_t>(kGlobalRecordSize));
    record.StringValue(kGlobalName, header.Name);
    record.Int16Value(kGlobalType, header.Type);
    record.Int32Value(kGlobalInitialValue, header.ExpPointer);
    return record;
}

// The engine's tables hold so many scripts and globals: the first one too many is refused.
void CheckCount(std::size_t count, std::int64_t limit, std::string_view what, const XmlNode& element) {
    if (static_cast<std::int64_t>(count) < limit) return;
    throw Error::AtScript("the " + std::to_string(limit + 1) + "th " + std::string(what) + ": the game's engine holds at most " +
                              std::to_string(limit) + " " + std::string(what) + "s",
                          element.Line, element.Column, element.File);
}

// A global's initial value: its expression's nodes, straight behind what came before (no
// fillers, no begin: the record names the expression's first node).
void AppendGlobal(ScriptCompilier& state, BuiltScripts& built, std::vector<ScriptSlots>& slots, const XmlNode& element,
                  const ScriptIndex& scripts, const ScriptIndex& globals, const NameResolver* names) {
    GlobalHeader header = ReadGlobalHeader(element);
    const std::int32_t first = state.CurrentSyntaxNumber;
    state.CurrentSyntaxNumber = XmlBuild(state, element, first, scripts, globals, names);
    slots.push_back({first - ScriptCompilier::OriganalSyntaxNumber,
                     state.CurrentSyntaxNumber - ScriptCompilier::OriganalSyntaxNumber - 1, &element, false});
    header.ExpPointer = ScriptCompilier::NodePointer(first);
    built.globals.push_back(MakeGlobalRecord(header));
}

void CheckStringData(const ScriptCompilier& state, const XmlNode& root) {
    const std::int64_t size = std::int64_t{state.LengthIntoStrings} + kStringDataZeroBytes;
    if (size <= engine::kEngineStringDataLimit) return;
    throw Error::AtScript("the scripts' texts need " + std::to_string(size) + " bytes of string data (with its " +
                              std::to_string(kStringDataZeroBytes) + " zero bytes); the game's engine reads at most " +
                              std::to_string(engine::kEngineStringDataLimit),
                          root.Line, root.Column, root.File);
}

}  // namespace

BuiltScripts BuildPhase(ScriptCompilier& state, const XmlDocument& document, const NameResolver* names) {
    const XmlNode* root = document.DocumentElement();
    if (root == nullptr) throw Error::AtScript("the script has no root element", 1, 1);

    state.ResetForBuild();
    state.LengthIntoStrings = 0;  // new strings start at offset 0 of the string data
    state.AppendString(kBeginText);

    BuiltScripts built;
    std::vector<ScriptSlots> scripts;
    const ScriptIndex scriptNames = ScriptIndex::OfDocument(*root);
    const ScriptIndex globals = ScriptIndex::GlobalsOfDocument(*root);
    std::vector<const XmlNode*> globalElements;
    for (std::size_t i = 0; i < root->ChildCount(); ++i) {
        const XmlNode& element = root->Child(i);
        if (!element.IsElement()) {
            throw Error::AtScript("text is not allowed here: the root element holds script and global elements only",
                                  element.Line, element.Column, element.File);
        }
        if (language::IsGlobalDefinition(element)) {
            CheckCount(globalElements.size(), engine::kEngineGlobalLimit, "global", element);
            globalElements.push_back(&element);
            continue;
        }
        CheckCount(built.records.size(), engine::kEngineScriptLimit, "script", element);
        ScriptSlots slots;
        slots.firstSlot = state.CurrentSyntaxNumber - ScriptCompilier::OriganalSyntaxNumber;
        slots.element = &element;
        AppendLeadingFillers(state);
        const std::int32_t firstBody = state.CurrentSyntaxNumber;
        ScriptHeader header = ReadScriptHeader(element);
        state.CurrentSyntaxNumber = XmlBuild(state, element, state.CurrentSyntaxNumber, scriptNames, globals, names);
        const std::int32_t k = state.CurrentSyntaxNumber;
        AppendBeginNodes(state, k, firstBody, header.ReturnType);
        AppendTrailingFiller(state, firstBody);
        state.CurrentSyntaxNumber = k + kBeginNodes + kTrailingFillers;
        slots.lastSlot = state.CurrentSyntaxNumber - ScriptCompilier::OriganalSyntaxNumber - 1;
        scripts.push_back(slots);
        header.ExpPointer = ScriptCompilier::NodePointer(k);
        built.records.push_back(MakeScriptRecord(header));
    }
    // The initial values' trees follow the scripts' trees, and their texts the scripts' texts.
    for (const XmlNode* element : globalElements) AppendGlobal(state, built, scripts, *element, scriptNames, globals, names);
    CheckNoRealNodeOnZeroIdentity(scripts);
    CheckStringData(state, *root);

    built.slots = static_cast<std::int32_t>(state.SyntaxBlock.Size() / kNodeSize);
    built.stringBytes = state.LengthIntoStrings;
    built.padding = math::RoundToMultiple(state.LengthIntoStrings, kRecordAlignment) - state.LengthIntoStrings;
    return built;
}

CompiledScriptData BuiltScriptData(const ScriptCompilier& state, const BuiltScripts& built) {
    CompiledScriptData data;
    data.slotCount = built.slots;
    data.slots.assign(state.SyntaxBlock.Data(), state.SyntaxBlock.Data() + state.SyntaxBlock.Size());
    data.strings.assign(reinterpret_cast<const char*>(state.StrBlock.Data()), static_cast<std::size_t>(built.stringBytes));
    data.strings.append(static_cast<std::size_t>(kStringDataZeroBytes), '\0');
    for (const MemoryBlock& record : built.records) data.records.insert(data.records.end(), record.Data(), record.Data() + record.Size());
    for (const MemoryBlock& record : built.globals) data.globals.insert(data.globals.end(), record.Data(), record.Data() + record.Size());
    return data;
}

}  // namespace xsc
