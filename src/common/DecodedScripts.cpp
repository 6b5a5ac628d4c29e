#include "common/DecodedScripts.h"

#include "common/TextRun.h"
#include "runtime/XmlWriter.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {
namespace {

using namespace scriptformat;

// The name from the record's 32-byte field, which a compile fills with the name's bytes and zeros.
std::string RecordName(const WalkedScript& script) {
    const ScriptPlace& place = script.place;
    const std::string& field = script.record.nameField;
    const std::size_t zero = field.find('\0');
    if (zero == std::string::npos) {
        throw place.Here("its name fills all " + std::to_string(kRecordNameSize) +
                         " bytes of the name field; a compile leaves room for a zero byte behind it");
    }
    if (field.find_first_not_of('\0', zero) != std::string::npos) {
        throw place.Here("its name field holds bytes behind the name's zero byte, where a compile writes zeros");
    }
    if (!script.record.zeroTail) {
        throw place.Here("record bytes " + Hex(kRecordZeroTail) + " to " + Hex(kRecordSize - 1) +
                         " are not zero, as a compile writes them");
    }
    std::string name = field.substr(0, zero);
    if (const auto problem = XmlWriter::TextProblem(name)) throw place.Here("its name " + *problem);
    return name;
}

// `nodeBehind`: the first node behind the script, whose text offset says where the script's texts
// end; none behind the last nodes, whose texts end where the string data's texts do.
void TakeTexts(TextRun& texts, DecodedScript& script, const WalkedNode* nodeBehind) {
    const std::vector<WalkedNode>& body = script.walked.body;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const WalkedNode& w = body[i];
        const WalkedNode* next = i + 1 == body.size() ? nodeBehind : &body[i + 1];
        const std::int64_t nextOffset = next ? next->node.stringOffset : texts.End();
        script.texts.push_back(texts.Take(script.walked.place, w.slot, w.node.stringOffset, nextOffset, next ? next->slot : -1));
    }
}

}  // namespace

std::vector<DecodedScript> DecodeScripts(const CompiledScriptData& data) {
    std::vector<DecodedScript> scripts;
    if (data.fresh) return scripts;
    TextRun texts(data.strings);
    ScriptTreeWalk walk(data);
    for (std::size_t i = 0; i < data.ScriptCount(); ++i) {
        DecodedScript script;
        script.walked = walk.Walk(i);
        script.name = RecordName(script.walked);
        scripts.push_back(std::move(script));
    }
    // Behind each script's last node, the texts continue with the next script that has nodes.
    std::vector<const WalkedNode*> nodeBehind(scripts.size(), nullptr);
    const WalkedNode* next = nullptr;
    for (std::size_t i = scripts.size(); i-- > 0;) {
        nodeBehind[i] = next;
        if (!scripts[i].walked.body.empty()) next = &scripts[i].walked.body.front();
    }
    for (std::size_t i = 0; i < scripts.size(); ++i) TakeTexts(texts, scripts[i], nodeBehind[i]);
    texts.CheckAllTaken();
    return scripts;
}

}  // namespace xsc
