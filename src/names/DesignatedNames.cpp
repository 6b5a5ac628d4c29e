#include "names/DesignatedNames.h"

#include "common/Diagnostic.h"
#include "names/NameResolution.h"
#include "scriptdata/ScriptDataFormat.h"

namespace xsc {

namespace {

// The values of one body, `record` of its kind.
void DesignateIn(std::vector<WalkedNode>& body, std::vector<std::optional<std::string>>& texts, bool global, std::size_t record,
                 const NameResolver& names, std::vector<RenamedValue>& renamed) {
    for (std::size_t i = 0; i < body.size(); ++i) {
        StoredNode& node = body[i].node;
        std::optional<std::string>& text = texts[i];
        if (node.expType != scriptformat::kExpTypeNameOrValue || !text || !NamesSomethingOfTheMap(node.valueType, names.Tables())) continue;
        if (names.Resolve(node.valueType, *text).value == node.childOrValue) {
            node.childOrValue = 0;
            continue;
        }
        const std::optional<std::string> designated = names.NameOf(node.valueType, node.childOrValue);
        if (!designated || names.Resolve(node.valueType, *designated).value != node.childOrValue) continue;
        renamed.push_back({global, record, i, *text, *designated});
        text = *designated;
        node.childOrValue = 0;
    }
}

}  // namespace

std::vector<RenamedValue> DesignateNames(DecodedScriptData& decoded, const NameResolver& names) {
    std::vector<RenamedValue> renamed;
    for (std::size_t s = 0; s < decoded.scripts.size(); ++s) {
        DesignateIn(decoded.scripts[s].walked.body, decoded.scripts[s].texts, false, s, names, renamed);
    }
    for (std::size_t g = 0; g < decoded.globals.size(); ++g) {
        DesignateIn(decoded.globals[g].walked.body, decoded.globals[g].texts, true, g, names, renamed);
    }
    return renamed;
}

std::string RenamedNote(const RenamedValue& renamed) {
    return "stored as " + Quoted(renamed.storedText) + ", but its value designates " + Quoted(renamed.designated) +
           ", which the game uses (compiled before xsc looked names up)";
}

}  // namespace xsc
