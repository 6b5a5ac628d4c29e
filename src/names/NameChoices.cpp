#include "names/NameChoices.h"

#include <set>

#include "engine/NameTables.h"
#include "names/MapNames.h"
#include "names/NameResolution.h"
#include "runtime/Text.h"

namespace xsc {
namespace {

using engine::Storage;
using engine::ValueEncoding;

// Names compare as a look-up compares them: letter case ignored, so of names alike only the first
// is ever found.
class FirstOfAlike {
public:
    bool Take(const std::string& name) { return seen_.insert(LowerAscii(name)).second; }

private:
    std::set<std::string> seen_;
};

void AddBlock(std::vector<NameChoice>& out, const NameResolver& resolver, const ValueEncoding& type) {
    const engine::NamedBlockLayout* layout = resolver.Tables().BlockOfType(type.code);
    const NamedBlock* block = layout ? resolver.Names().Block(layout->block) : nullptr;
    if (block == nullptr || !block->Readable() || block->absent) return;
    const bool objects = layout->block == "object_names";
    const std::vector<std::vector<Placement>>& placements = resolver.Names().Placements();
    const std::string kind = KindOf(type, block->block);
    FirstOfAlike first;
    for (std::size_t i = 0; i < block->names.size(); ++i) {
        if (!first.Take(block->names[i])) continue;
        if (objects) {
            bool fits = false;
            if (i < placements.size()) {
                for (const Placement& p : placements[i]) fits = fits || PlacementFits(p, type);
            }
            if (!fits) continue;
        }
        out.push_back({block->names[i], kind, static_cast<std::int32_t>(i), {}, nullptr});
    }
}

// Each encounter with its squads and platoons, in that order; a member the look-up cannot reach
// (a platoon named like a squad, an index beyond what an ai value holds) is left out: the
// look-up itself decides.
void AddAi(std::vector<NameChoice>& out, const NameResolver& resolver, const ValueEncoding& type) {
    const NamedBlock* block = resolver.Names().Block("encounters");
    if (block == nullptr || !block->Readable() || block->absent) return;
    FirstOfAlike first;
    const auto add = [&](std::string text, const char* kind, std::size_t index, const std::string& owner) {
        if (first.Take(text) && resolver.Resolve(type.code, text).value) {
            out.push_back({std::move(text), kind, static_cast<std::int32_t>(index), owner, nullptr});
        }
    };
    for (std::size_t e = 0; e < block->names.size(); ++e) {
        const std::string& encounter = block->names[e];
        add(encounter, "encounter", e, {});
        if (e >= resolver.Names().Encounters().size()) continue;
        const Encounter& members = resolver.Names().Encounters()[e];
        for (std::size_t s = 0; s < members.squads.size(); ++s) add(encounter + "/" + members.squads[s], "squad", s, encounter);
        for (std::size_t p = 0; p < members.platoons.size(); ++p) add(encounter + "/" + members.platoons[p], "platoon", p, encounter);
    }
}

void AddTags(std::vector<NameChoice>& out, const NameResolver& resolver, const ValueEncoding& type) {
    const engine::TagTypeClasses* classes = resolver.Tables().TagType(type.code);
    if (classes == nullptr) return;
    const std::string kind = SpokenName(type.name) + " tag";
    FirstOfAlike first;
    for (const MapTagEntry& tag : resolver.Names().Tags()) {
        if (TagFits(tag, *classes) && first.Take(tag.path)) out.push_back({tag.path, kind, tag.index, {}, &tag});
    }
}

void AddWords(std::vector<NameChoice>& out, const NameResolver& resolver, const ValueEncoding& type) {
    for (const engine::EnumWord* w : resolver.Tables().Words(type.code)) out.push_back({w->word, SpokenName(type.name), w->index, {}, nullptr});
}

}  // namespace

std::vector<NameChoice> NameChoices(const NameResolver& resolver, std::int32_t valueType) {
    std::vector<NameChoice> out;
    const ValueEncoding* type = resolver.Tables().Encoding(valueType);
    if (type == nullptr || !NamesSomethingOfTheMap(valueType, resolver.Tables())) return out;
    switch (type->storage) {
        case Storage::BlockIndex: AddBlock(out, resolver, *type); break;
        case Storage::AiIndex32: AddAi(out, resolver, *type); break;
        case Storage::TagId: AddTags(out, resolver, *type); break;
        default: AddWords(out, resolver, *type); break;
    }
    return out;
}

std::string DescribeChoice(const NameChoice& choice) {
    std::string text = choice.kind + " #" + std::to_string(choice.index);
    if (!choice.owner.empty()) text += " of encounter " + choice.owner;
    return text;
}

}  // namespace xsc
