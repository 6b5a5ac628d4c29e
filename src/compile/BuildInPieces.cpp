#include "compile/BuildInPieces.h"

#include "compile/BuildPhase.h"
#include "runtime/XmlDocument.h"
#include "scriptdata/ScriptCompilier.h"
#include "scriptdata/ScriptDataFormat.h"
#include "xml/ScriptLanguage.h"

namespace xsc {
namespace {

using namespace scriptformat;

// The slots xsc lays around every script's statements: four leading fillers, the begin pair, the
// trailing filler.
constexpr std::int64_t kSlotsAroundABody = kLeadingFillers + kBeginNodes + kTrailingFillers;

// The document with the statements of scripts [first, last) and every global; the subtrees are
// shared with `root`'s document, which outlives the piece.
XmlDocument Piece(const XmlNode& root, std::size_t first, std::size_t last) {
    XmlTreeBuilder builder;
    XmlNode& top = builder.AddElement(nullptr, root.Name, root.Line, root.Column, root.File);
    top.Attributes = root.Attributes;
    std::size_t script = 0;
    for (const XmlNode* child : root.Children) {
        XmlNode& copy = builder.AddElement(&top, child->Name, child->Line, child->Column, child->File);
        copy.kind = child->kind;
        copy.Text = child->Text;
        copy.Attributes = child->Attributes;
        const bool global = child->IsElement() && language::IsGlobalDefinition(*child);
        if (global || (script >= first && script < last)) copy.Children = child->Children;
        if (child->IsElement() && !global) ++script;
    }
    return builder.Finish();
}

}  // namespace

DecodedScriptData BuildInPieces(const XmlDocument& document, const std::vector<std::size_t>& bodySlots, std::size_t globalSlots) {
    const XmlNode& root = *document.DocumentElement();
    const std::int64_t room = kZeroIdentitySlot - kSlotsAroundABody * static_cast<std::int64_t>(bodySlots.size()) -
                              static_cast<std::int64_t>(globalSlots);
    DecodedScriptData built;
    std::size_t first = 0;
    do {
        std::size_t last = first;
        for (std::int64_t nodes = 0; last < bodySlots.size(); ++last) {
            nodes += static_cast<std::int64_t>(bodySlots[last]);
            if (nodes > room && last > first) break;
        }
        const XmlDocument piece = Piece(root, first, last);
        ScriptCompilier state;
        const BuiltScripts result = BuildPhase(state, piece);
        DecodedScriptData decoded = DecodeScriptData(BuiltScriptData(state, result));
        if (first == 0) built.globals = std::move(decoded.globals);
        for (std::size_t s = first; s < last; ++s) built.scripts.push_back(std::move(decoded.scripts.at(s)));
        first = last;
    } while (first < bodySlots.size());
    return built;
}

}  // namespace xsc
