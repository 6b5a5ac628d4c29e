#include "common/AnyLayoutDecode.h"

#include <algorithm>

#include "common/NodeReach.h"
#include "runtime/Error.h"
#include "runtime/Windows1252.h"
#include "scriptdata/ScriptDataFormat.h"
#include "xml/ScriptLanguage.h"

namespace xsc {
namespace {

using namespace scriptformat;

constexpr std::uint32_t kNone = 0xFFFFFFFF;
constexpr std::int64_t kFromRecord = NodeReach::kFromRecord;
constexpr std::int16_t kStringType = 9;
// The bits a boolean and a short use, and what xsc writes in the others.
constexpr std::uint32_t kBooleanBits = 0xFF;
constexpr std::uint32_t kBooleanHigh = 0xFFFFFF00;
constexpr std::uint32_t kShortBits = 0xFFFF;
constexpr std::uint32_t kShortHigh = 0xFFFF0000;

std::string RecordName(const ScriptPlace& place, const std::string& field) {
    const std::size_t zero = field.find('\0');
    if (zero == std::string::npos) {
        throw place.Here("its name fills all " + std::to_string(kRecordNameSize) + " bytes of the name field without a zero byte");
    }
    std::string name = field.substr(0, zero);
    if (const auto problem = ScriptTextProblem(name)) throw place.Here("its name " + *problem);
    return name;
}

std::string ShownName(const std::string& field) {
    const std::string name = field.substr(0, std::min(field.find('\0'), field.size()));
    const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F;
    });
    return plain ? name : std::string();
}

class AnyLayoutWalk {
public:
    explicit AnyLayoutWalk(const CompiledScriptData& data) : data_(data), reach_(data, NodeReach::Layout::Official) {}

    DecodedScript Script(std::size_t index) {
        DecodedScript script;
        WalkedScript& walked = script.walked;
        walked.record = data_.Record(index);
        walked.place = ScriptPlace{index, ShownName(walked.record.nameField)};
        script.name = RecordName(walked.place, walked.record.nameField);
        const std::int32_t rootSlot = Reach(walked.record.root, walked.place, kFromRecord, "root");
        const StoredNode root = data_.Node(rootSlot);
        if (root.expType == kExpTypeCall && root.engine == kBeginEngineIdentity) {
            const std::int32_t nameSlot = NameNode(walked.place, rootSlot, root);
            if (Text(walked.place, nameSlot, data_.Node(nameSlot).stringOffset) == std::optional<std::string>(kBeginText)) {
                const std::uint32_t first = data_.Node(nameSlot).sibling;
                if (first != kNone) Chain(walked.place, first, nameSlot, walked.body, script.texts);
                return script;
            }
            Unreach(nameSlot);
        }
        // A root that is not `begin`: the one statement of the body.
        Unreach(rootSlot);
        Chain(walked.place, walked.record.root, static_cast<std::int32_t>(kFromRecord), walked.body, script.texts);
        return script;
    }

    DecodedGlobal Global(std::size_t index) {
        DecodedGlobal global;
        WalkedGlobal& walked = global.walked;
        walked.record = data_.Global(index);
        walked.place = ScriptPlace{index, ShownName(walked.record.nameField), true};
        global.name = RecordName(walked.place, walked.record.nameField);
        Chain(walked.place, walked.record.initialValue, static_cast<std::int32_t>(kFromRecord), walked.body, global.texts);
        return global;
    }

private:
    std::int32_t Reach(std::uint32_t pointer, const ScriptPlace& place, std::int64_t from, const std::string& what) {
        return reach_.Reach(pointer, place, from, what);
    }

    void Unreach(std::int32_t slot) { reach_.Unreach(slot); }

    // The text at `offset`: none when it is empty.
    std::optional<std::string> Text(const ScriptPlace& place, std::int32_t slot, std::int32_t offset) const {
        const std::string& strings = data_.strings;
        if (offset < 0 || static_cast<std::size_t>(offset) >= strings.size()) {
            throw place.At(slot, "its string offset " + std::to_string(offset) + " lies outside the string data (" +
                                     std::to_string(strings.size()) + " bytes)");
        }
        const std::size_t zero = strings.find('\0', static_cast<std::size_t>(offset));
        if (zero == std::string::npos) {
            throw place.At(slot, "its text at string offset " + std::to_string(offset) + " runs to the end of the string data without a zero byte");
        }
        if (zero == static_cast<std::size_t>(offset)) return std::nullopt;
        return strings.substr(static_cast<std::size_t>(offset), zero - static_cast<std::size_t>(offset));
    }

    // The function-name node of a call at `callSlot`.
    std::int32_t NameNode(const ScriptPlace& place, std::int32_t callSlot, const StoredNode& call) {
        const std::int32_t nameSlot = Reach(call.childOrValue, place, callSlot, "function name");
        const StoredNode name = data_.Node(nameSlot);
        if (name.expType != kExpTypeNameOrValue || name.valueType != kFunctionNameValueType) {
            throw place.At(nameSlot, "a call's child must be its function name node (kind 9, value type 2), not kind " +
                                         std::to_string(name.expType) + " with value type " + std::to_string(name.valueType));
        }
        if (name.engine != call.engine) {
            throw place.At(nameSlot, "the function name node holds number " + std::to_string(name.engine) + ", its call (slot " +
                                         std::to_string(callSlot) + ") " + std::to_string(call.engine));
        }
        return nameSlot;
    }

    // Gives the node the fields xsc's own layout gives it (see the header).
    static void AsXscWrites(StoredNode& node) {
        if (node.expType == kExpTypeGlobal) node.engine = static_cast<std::int16_t>(kGlobalEngineIdentity);
        if (node.expType != kExpTypeNameOrValue) return;
        if (node.valueType == kStringType) node.childOrValue = 0;
        if (node.valueType == language::kBooleanType) node.childOrValue = kBooleanHigh | (node.childOrValue & kBooleanBits);
        if (node.valueType == language::kShortType) node.childOrValue = kShortHigh | (node.childOrValue & kShortBits);
    }

    // The expressions of the chain starting at `first` (read from `from`) and everything below,
    // depth first, with their texts.
    void Chain(const ScriptPlace& place, std::uint32_t first, std::int32_t from, std::vector<WalkedNode>& body,
               std::vector<std::optional<std::string>>& texts) {
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
            const std::string what = link.from == kFromRecord ? "root" : "sibling";
            const std::int32_t slot = Reach(link.pointer, place, link.from, what);
            WalkedNode walked{slot, static_cast<std::int32_t>(chains.size() - 1), false, data_.Node(slot)};
            if (link.from == kFromRecord && walked.node.sibling != kNone) {
                throw place.At(slot, "the root expression has a sibling; a root stands alone");
            }
            chains.back() = Link{walked.node.sibling, slot};
            std::optional<std::string> text;
            switch (walked.node.expType) {
                case kExpTypeCall:
                case kExpTypeScriptCall: {
                    const std::int32_t nameSlot = NameNode(place, slot, walked.node);
                    const StoredNode name = data_.Node(nameSlot);
                    text = Text(place, nameSlot, name.stringOffset);
                    if (!text) throw place.At(nameSlot, "the function name node names no function: its text is empty");
                    walked.node.stringOffset = name.stringOffset;
                    walked.hasArguments = name.sibling != kNone;
                    if (walked.hasArguments) chains.push_back(Link{name.sibling, nameSlot});
                    break;
                }
                case kExpTypeNameOrValue:
                case kExpTypeGlobal: text = Text(place, slot, walked.node.stringOffset); break;
                default:
                    throw place.At(slot, "a node of kind " + std::to_string(walked.node.expType) +
                                             ", which is no expression (8 call, 9 value, 10 script call, 13 global)");
            }
            AsXscWrites(walked.node);
            body.push_back(walked);
            texts.push_back(std::move(text));
        }
    }

    const CompiledScriptData& data_;
    NodeReach reach_;
};

}  // namespace

DecodedScriptData DecodeAnyLayout(const CompiledScriptData& data) {
    DecodedScriptData decoded;
    decoded.layout = ScriptLayout::Other;
    AnyLayoutWalk walk(data);
    for (std::size_t i = 0; i < data.GlobalCount(); ++i) decoded.globals.push_back(walk.Global(i));
    for (std::size_t i = 0; i < data.ScriptCount(); ++i) decoded.scripts.push_back(walk.Script(i));
    return decoded;
}

}  // namespace xsc
