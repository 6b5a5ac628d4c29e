#include "common/ScriptTreeWalk.h"

#include <algorithm>

#include "common/NodeReach.h"
#include "runtime/XmlWriter.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {
namespace {

using namespace scriptformat;

constexpr std::uint32_t kNone = 0xFFFFFFFF;  // the pointer to no node
constexpr std::int64_t kFromRecord = NodeReach::kFromRecord;

// The script's name for messages: the name field's bytes up to the first zero, when there is one
// and they are text that fits on one line.
std::string ShownName(const std::string& nameField) {
    const std::size_t zero = nameField.find('\0');
    if (zero == std::string::npos) return {};
    const std::string name = nameField.substr(0, zero);
    const bool oneLine = std::none_of(name.begin(), name.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; });
    return oneLine && !XmlWriter::TextProblem(name) ? name : std::string();
}

}  // namespace

std::string ScriptPlace::Script() const {
    const std::string kind = global ? "global" : "script";
    return name.empty() ? kind + " record " + std::to_string(record)
                        : kind + " \"" + name + "\" (record " + std::to_string(record) + ")";
}

Error ScriptPlace::Here(const std::string& what) const { return Error::InMap(Script() + ": " + what); }

Error ScriptPlace::At(std::int64_t slot, const std::string& what) const {
    return Error::InMap(Script() + ", slot " + std::to_string(slot) + ": " + what);
}

ScriptTreeWalk::ScriptTreeWalk(const CompiledScriptData& data) : data_(data), reach_(data, NodeReach::Layout::Ours) {}

void ScriptTreeWalk::CheckRoot(const WalkedScript& script, std::int32_t rootSlot, const StoredNode& root) const {
    const ScriptPlace& place = script.place;
    if (root.expType != kExpTypeCall) {
        throw place.At(rootSlot, "the script's root is a node of kind " + std::to_string(root.expType) +
                                     "; it must be the call of begin (kind 8)");
    }
    if (root.engine != kBeginEngineIdentity || root.stringOffset != kBeginStringOffset) {
        throw place.At(rootSlot, "the script's root calls function " + std::to_string(root.engine) +
                                     " with its text at string offset " + std::to_string(root.stringOffset) +
                                     "; the call of begin has function 0 and offset 0");
    }
    if (root.valueType != script.record.returnType) {
        throw place.At(rootSlot, "the root call's value type " + std::to_string(root.valueType) +
                                     " differs from the record's return type " + std::to_string(script.record.returnType) +
                                     "; a compile writes the return type in both");
    }
    if (root.sibling != kNone) throw place.At(rootSlot, "the root call has a sibling; a script's root stands alone");
}

void ScriptTreeWalk::CheckNameNode(const ScriptPlace& place, std::int32_t nameSlot, const StoredNode& call) const {
    const StoredNode name = data_.Node(nameSlot);
    if (name.expType != kExpTypeNameOrValue || name.valueType != kFunctionNameValueType) {
        throw place.At(nameSlot, "a call's child must be its function name node (kind 9, value type 2), not kind " +
                                     std::to_string(name.expType) + " with value type " + std::to_string(name.valueType));
    }
    if (name.engine != call.engine || name.stringOffset != call.stringOffset) {
        throw place.At(nameSlot, "the function name node holds function " + std::to_string(name.engine) +
                                     " and string offset " + std::to_string(name.stringOffset) + ", its call " +
                                     std::to_string(call.engine) + " and " + std::to_string(call.stringOffset) +
                                     "; a compile writes the same in both");
    }
    if (name.childOrValue != 0) {
        throw place.At(nameSlot, "the function name node holds " + Hex(name.childOrValue) +
                                     " in its last four bytes, where a compile writes 0");
    }
}

WalkedScript ScriptTreeWalk::Walk(std::size_t index) {
    WalkedScript script;
    script.record = data_.Record(index);
    script.place = ScriptPlace{index, ShownName(script.record.nameField)};
    const ScriptPlace& place = script.place;

    const std::int32_t rootSlot = Reach(script.record.root, place, kFromRecord, "root");
    const StoredNode root = data_.Node(rootSlot);
    CheckRoot(script, rootSlot, root);
    const std::int32_t beginName = Reach(root.childOrValue, place, rootSlot, "child");
    CheckNameNode(place, beginName, root);
    const std::uint32_t first = data_.Node(beginName).sibling;
    // A compile points the name node of a script without statements back at its call; "no
    // node" says the same.
    if (first == script.record.root || first == kNone) return script;
    script.body = WalkChain(place, first, beginName);
    return script;
}

WalkedGlobal ScriptTreeWalk::WalkGlobal(std::size_t index) {
    WalkedGlobal global;
    global.record = data_.Global(index);
    global.place = ScriptPlace{index, ShownName(global.record.nameField), true};
    global.body = WalkChain(global.place, global.record.initialValue, static_cast<std::int32_t>(kFromRecord));
    const auto second = std::find_if(global.body.begin() + 1, global.body.end(), [](const WalkedNode& w) { return w.depth == 0; });
    if (second != global.body.end()) {
        throw global.place.At(global.body.front().slot, "the initial value's expression has a sibling; it stands alone");
    }
    return global;
}

std::vector<WalkedNode> ScriptTreeWalk::WalkChain(const ScriptPlace& place, std::uint32_t first, std::int32_t from) {
    std::vector<WalkedNode> body;
    // The chains being walked, innermost last: the pointer to follow next, and where it was read.
    struct Link {
        std::uint32_t pointer;
        std::int32_t from;
    };
    std::vector<Link> chains{{first, from}};
    while (!chains.empty()) {
        const Link link = chains.back();
        if (link.pointer == kNone && !body.empty()) {
            chains.pop_back();
            continue;
        }
        const std::int32_t slot = Reach(link.pointer, place, link.from, link.from == kFromRecord ? "initial value" : "sibling");
        WalkedNode walked{slot, static_cast<std::int32_t>(chains.size() - 1), false, data_.Node(slot)};
        chains.back() = Link{walked.node.sibling, slot};
        switch (walked.node.expType) {
            case kExpTypeCall:
            case kExpTypeScriptCall: {
                const std::int32_t nameSlot = Reach(walked.node.childOrValue, place, slot, "child");
                CheckNameNode(place, nameSlot, walked.node);
                const std::uint32_t firstArgument = data_.Node(nameSlot).sibling;
                walked.hasArguments = firstArgument != kNone;
                if (walked.hasArguments) chains.push_back(Link{firstArgument, nameSlot});
                break;
            }
            case kExpTypeNameOrValue:
            case kExpTypeGlobal: break;
            default:
                throw place.At(slot, "a node of kind " + std::to_string(walked.node.expType) +
                                         ", which the language cannot express (8 call, 9 value, 10 script call, 13 global)");
        }
        body.push_back(walked);
    }
    return body;
}

}  // namespace xsc
