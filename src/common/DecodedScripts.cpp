#include "common/DecodedScripts.h"

#include "common/AnyLayoutDecode.h"
#include "common/TextRun.h"
#include "runtime/Windows1252.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {
namespace {

using namespace scriptformat;

// The name from a record's 32-byte field, which a compile fills with the name's bytes and zeros.
std::string NameField(const ScriptPlace& place, const std::string& field) {
    const std::size_t zero = field.find('\0');
    if (zero == std::string::npos) {
        throw place.Here("its name fills all " + std::to_string(kRecordNameSize) +
                         " bytes of the name field; a compile leaves room for a zero byte behind it");
    }
    if (field.find_first_not_of('\0', zero) != std::string::npos) {
        throw place.Here("its name field holds bytes behind the name's zero byte, where a compile writes zeros");
    }
    std::string name = field.substr(0, zero);
    if (const auto problem = ScriptTextProblem(name)) throw place.Here("its name " + *problem);
    return name;
}

std::string RecordName(const WalkedScript& script) {
    if (!script.record.zeroTail) {
        throw script.place.Here("record bytes " + Hex(kRecordZeroTail) + " to " + Hex(kRecordSize - 1) +
                                " are not zero, as a compile writes them");
    }
    return NameField(script.place, script.record.nameField);
}

std::string GlobalName(const WalkedGlobal& global) {
    if (!global.record.zeroElsewhere) {
        throw global.place.Here("its record holds bytes other than zero around its type and its initial value, where a "
                                "compile writes zeros");
    }
    return NameField(global.place, global.record.nameField);
}

// The nodes of every script and global in the order a compile appends them, with the texts they
// are given: each node's text runs to where the next node's starts (the string data's end behind
// the last node).
struct TextsToTake {
    const ScriptPlace* place;
    const std::vector<WalkedNode>* body;
    std::vector<std::optional<std::string>>* texts;
};

void TakeTexts(TextRun& run, const std::vector<TextsToTake>& all) {
    std::vector<std::pair<const ScriptPlace*, const WalkedNode*>> nodes;
    for (const TextsToTake& t : all) {
        for (const WalkedNode& w : *t.body) nodes.emplace_back(t.place, &w);
    }
    std::size_t k = 0;
    for (const TextsToTake& t : all) {
        for (std::size_t i = 0; i < t.body->size(); ++i, ++k) {
            const WalkedNode& w = *nodes[k].second;
            const WalkedNode* next = k + 1 < nodes.size() ? nodes[k + 1].second : nullptr;
            const std::int64_t nextOffset = next ? next->node.stringOffset : run.End();
            t.texts->push_back(run.Take(*t.place, w.slot, w.node.stringOffset, nextOffset, next ? next->slot : -1));
        }
    }
}

}  // namespace

namespace {

DecodedScriptData DecodeXscLayout(const CompiledScriptData& data) {
    DecodedScriptData decoded;
    TextRun texts(data.strings);
    ScriptTreeWalk walk(data);
    for (std::size_t i = 0; i < data.ScriptCount(); ++i) {
        DecodedScript script;
        script.walked = walk.Walk(i);
        script.name = RecordName(script.walked);
        decoded.scripts.push_back(std::move(script));
    }
    for (std::size_t i = 0; i < data.GlobalCount(); ++i) {
        DecodedGlobal global;
        global.walked = walk.WalkGlobal(i);
        global.name = GlobalName(global.walked);
        decoded.globals.push_back(std::move(global));
    }
    std::vector<TextsToTake> all;
    for (DecodedScript& s : decoded.scripts) all.push_back({&s.walked.place, &s.walked.body, &s.texts});
    for (DecodedGlobal& g : decoded.globals) all.push_back({&g.walked.place, &g.walked.body, &g.texts});
    TakeTexts(texts, all);
    texts.CheckAllTaken();
    return decoded;
}

}  // namespace

DecodedScriptData DecodeScriptData(const CompiledScriptData& data) {
    if (data.fresh) return {};
    if (LayoutOf(data) == ScriptLayout::Xsc) return DecodeXscLayout(data);
    if (data.ScriptCount() == 0) {
        // Globals alone carry no filler to tell xsc's layout by: it is xsc's when the strict
        // reading accepts the texts as xsc appends them.
        try {
            return DecodeXscLayout(data);
        } catch (const Error&) {
        }
    }
    return DecodeAnyLayout(data);
}

std::vector<DecodedScript> DecodeScripts(const CompiledScriptData& data) { return DecodeScriptData(data).scripts; }

GlobalRead ReadOfGlobalNode(const StoredNode& node, const std::optional<std::string>& text, const ScriptIndex& globals) {
    if (!text) return GlobalRead::Stored;
    const std::optional<std::int32_t> index = globals.Find(*text);
    if (index && node.childOrValue == static_cast<std::uint32_t>(*index)) return GlobalRead::Scenario;
    if (node.childOrValue != kGlobalByNameValue) return GlobalRead::Stored;
    return index ? GlobalRead::ByNameOnly : GlobalRead::Engine;
}

}  // namespace xsc
