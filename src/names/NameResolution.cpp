#include "names/NameResolution.h"

#include <algorithm>

#include "common/ClosestNames.h"
#include "common/Diagnostic.h"
#include "engine/NameTables.h"
#include "names/MapNames.h"
#include "names/NamesFormat.h"
#include "runtime/Text.h"

namespace xsc {
namespace {

namespace nf = namesformat;
using engine::Storage;
using engine::ValueEncoding;

constexpr std::string_view kNone = "none";

// An ai value: the encounter in the low 16 bits; a squad or platoon index in bits 16 to 23 with
// the kind in the top bits.
constexpr std::uint32_t kSquadBit = 0x80000000;
constexpr std::uint32_t kPlatoonBit = 0x40000000;
constexpr std::uint32_t kAiKindBits = kSquadBit | kPlatoonBit;
constexpr int kAiMemberShift = 16;
constexpr std::uint32_t kAiMemberMask = 0xFF;
constexpr std::uint32_t kAiEncounterMask = 0xFFFF;
constexpr char kAiSeparator = '/';

// An enum word keeps 0xFFFF in the high half, as a short literal does.
constexpr std::uint32_t kEnumHighHalf = 0xFFFF0000;
constexpr std::uint32_t kLowHalf = 0xFFFF;

// A class code as shown: "hmt " without its blank.
std::string Trimmed(std::string code) {
    while (!code.empty() && code.back() == ' ') code.pop_back();
    return code;
}

// "1 squad", "2 squads".
std::string Count(std::size_t n, const std::string& what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); }

// A tag path in quotes, whole (Quoted cuts long texts).
std::string InQuotes(std::string_view text) {
    std::string quoted(1, '"');
    quoted.append(text);
    quoted.push_back('"');
    return quoted;
}

// The first element named `text`, letter case ignored.
std::optional<std::size_t> FindName(const std::vector<std::string>& names, std::string_view text) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (EqualsIgnoringCase(names[i], text)) return i;
    }
    return std::nullopt;
}

std::string DidYouMean(std::string_view text, const std::vector<std::string>& names) {
    std::vector<const std::string*> candidates;
    for (const std::string& n : names) candidates.push_back(&n);
    const std::vector<std::string> close = ClosestNames(text, candidates);
    return close.empty() ? "" : "; did you mean " + Alternatives(QuotedAll(close)) + "?";
}

// "two trigger volumes are named "x" (0 and 3): the first is used".
std::optional<std::string> Twice(const std::vector<std::string>& names, std::size_t first, const std::string& kind) {
    for (std::size_t i = first + 1; i < names.size(); ++i) {
        if (EqualsIgnoringCase(names[i], names[first])) {
            return "more than one " + kind + " is named " + Quoted(names[first]) + " (" + std::to_string(first) + " and " +
                   std::to_string(i) + "): the first is used";
        }
    }
    return std::nullopt;
}

// Why `text` is not among `names` of a block described as `where`.
std::string NotFound(const std::string& kind, std::string_view text, const std::vector<std::string>& names, const std::string& where) {
    if (names.empty()) return "no " + kind + " " + Quoted(text) + ": there is none in " + where;
    return "no " + kind + " " + Quoted(text) + " among the " + std::to_string(names.size()) + " of " + where + DidYouMean(text, names);
}

// The block a value designates, or why it cannot be used: damaged, or absent from the map.
const NamedBlock* UsableBlock(const NamedBlock* block, const std::string& kind, std::string_view text, ResolvedName& out) {
    if (block == nullptr) {
        out.error = "no " + kind + " " + Quoted(text) + ": the map has no such names";
    } else if (!block->Readable()) {
        out.error = "cannot look up the " + kind + " " + Quoted(text) + ": " + block->error;
    } else if (block->absent) {
        out.error = "no " + kind + " " + Quoted(text) + ": the map has none (" + block->where + ")";
    } else {
        return block;
    }
    return nullptr;
}

}  // namespace

std::string KindOf(const ValueEncoding& type, std::string_view block) {
    if (block == nf::kObjectNames) return "object name";
    if (block == nf::kHudMessages) return "hud message";
    return SpokenName(type.name);
}

bool PlacementFits(const Placement& placement, const ValueEncoding& type) {
    return type.name == "object_list" ||
           std::find(placement.valueTypes->begin(), placement.valueTypes->end(), type.code) != placement.valueTypes->end();
}

std::string SpokenName(std::string_view name) {
    std::string words(name);
    std::replace(words.begin(), words.end(), '_', ' ');
    return words;
}

bool NamesSomethingOfTheMap(std::int32_t valueType, const engine::NameTables& tables) {
    const ValueEncoding* e = tables.Encoding(valueType);
    if (e == nullptr || e->name == "script") return false;
    return e->storage == Storage::BlockIndex || e->storage == Storage::AiIndex32 || e->storage == Storage::TagId ||
           e->storage == Storage::EnumIndex;
}

bool TagFits(const MapTagEntry& tag, const engine::TagTypeClasses& type) {
    if (tag.classes[0] == type.tagClass || tag.classes[1] == type.tagClass || tag.classes[2] == type.tagClass) return true;
    return std::find(type.concreteClasses.begin(), type.concreteClasses.end(), tag.classes[0]) != type.concreteClasses.end();
}

NameResolver::NameResolver(const MapNames& names) : NameResolver(names, engine::NameTables::BuiltIn()) {}

NameResolver::NameResolver(const MapNames& names, const engine::NameTables& tables) : names_(names), tables_(tables) {}

ResolvedName NameResolver::Resolve(std::int32_t valueType, std::string_view text) const {
    const ValueEncoding* type = tables_.Encoding(valueType);
    if (type == nullptr || !NamesSomethingOfTheMap(valueType, tables_)) return {std::nullopt, "internal error: no names of this type", {}};
    if (EqualsIgnoringCase(text, kNone) && type->none) return {type->none, {}, {}};
    switch (type->storage) {
        case Storage::BlockIndex: return ResolveBlockIndex(*type, text);
        case Storage::AiIndex32: return ResolveAi(text);
        case Storage::TagId: return ResolveTag(*type, text);
        default: return ResolveEnum(*type, text);
    }
}

ResolvedName NameResolver::ResolveBlockIndex(const ValueEncoding& type, std::string_view text) const {
    ResolvedName out;
    const engine::NamedBlockLayout* layout = tables_.BlockOfType(type.code);
    const std::string kind = KindOf(type, layout ? layout->block : "");
    const NamedBlock* block = UsableBlock(layout ? names_.Block(layout->block) : nullptr, kind, text, out);
    if (block == nullptr) return out;
    const std::optional<std::size_t> index = FindName(block->names, text);
    if (!index) {
        out.error = NotFound(kind, text, block->names, block->where);
        return out;
    }
    out.value = static_cast<std::uint32_t>(*index);
    if (auto twice = Twice(block->names, *index, kind)) out.warnings.push_back(*twice);
    if (block->block == nf::kObjectNames && *index < names_.Placements().size()) {
        const std::vector<Placement>& placed = names_.Placements()[*index];
        const bool fits = std::any_of(placed.begin(), placed.end(), [&](const Placement& p) { return PlacementFits(p, type); });
        if (placed.empty()) {
            out.warnings.push_back("nothing is placed under the object name " + Quoted(block->names[*index]) +
                                   ": the game finds no object by it");
        } else if (!fits) {
            out.warnings.push_back("the object placed under the name " + Quoted(block->names[*index]) + " is a " + SpokenName(placed[0].objectType) +
                                   ", not a " + SpokenName(type.name));
        }
    }
    return out;
}

ResolvedName NameResolver::ResolveAi(std::string_view text) const {
    ResolvedName out;
    const NamedBlock* block = UsableBlock(names_.Block(nf::kEncounters), "encounter", text, out);
    if (block == nullptr) return out;
    const std::size_t slash = text.find(kAiSeparator);
    const std::string_view encounterName = text.substr(0, slash);
    const std::optional<std::size_t> encounter = FindName(block->names, encounterName);
    if (!encounter) {
        out.error = NotFound("encounter", encounterName, block->names, block->where);
        return out;
    }
    if (*encounter > kAiEncounterMask) {
        out.error = "encounter " + Quoted(encounterName) + " is number " + std::to_string(*encounter) + ": an ai value holds 16 bits of it";
        return out;
    }
    if (auto twice = Twice(block->names, *encounter, "encounter")) out.warnings.push_back(*twice);
    if (slash == std::string_view::npos) {
        out.value = static_cast<std::uint32_t>(*encounter);
        return out;
    }
    const std::string_view member = text.substr(slash + 1);
    const Encounter& e = names_.Encounters()[*encounter];
    std::uint32_t kindBit = kSquadBit;
    std::optional<std::size_t> index = FindName(e.squads, member);
    const std::vector<std::string>* names = &e.squads;
    if (!index) {
        kindBit = kPlatoonBit;
        names = &e.platoons;
        index = FindName(e.platoons, member);
    }
    if (!index) {
        std::vector<std::string> both = e.squads;
        both.insert(both.end(), e.platoons.begin(), e.platoons.end());
        out.error = "no squad or platoon " + Quoted(member) + " in encounter " + Quoted(block->names[*encounter]) + " (" +
                    Count(e.squads.size(), "squad") + ", " + Count(e.platoons.size(), "platoon") + ")" + DidYouMean(member, both);
        return out;
    }
    const char* what = kindBit == kSquadBit ? "squad" : "platoon";
    if (*index > kAiMemberMask) {
        out.error = std::string(what) + " " + Quoted(member) + " is number " + std::to_string(*index) + " of its encounter: an ai value holds 8 bits of it";
        return out;
    }
    if (auto twice = Twice(*names, *index, what)) out.warnings.push_back(*twice + " in encounter " + Quoted(block->names[*encounter]));
    out.value = kindBit | static_cast<std::uint32_t>(*index) << kAiMemberShift | static_cast<std::uint32_t>(*encounter);
    return out;
}

ResolvedName NameResolver::ResolveTag(const ValueEncoding& type, std::string_view text) const {
    ResolvedName out;
    const engine::TagTypeClasses* classes = tables_.TagType(type.code);
    if (classes == nullptr) return {std::nullopt, "internal error: no tag class for " + type.name, {}};
    const MapTagEntry* otherClass = nullptr;
    std::vector<std::string> fitting;
    for (const MapTagEntry& tag : names_.Tags()) {
        const bool fits = TagFits(tag, *classes);
        if (fits) fitting.push_back(tag.path);
        if (!EqualsIgnoringCase(tag.path, text)) continue;
        if (fits) {
            out.value = tag.ident;
            return out;
        }
        if (otherClass == nullptr) otherClass = &tag;
    }
    const std::string kind = SpokenName(type.name) + " tag";
    const std::string ofClass = "of class " + Trimmed(classes->tagClass);
    if (otherClass != nullptr) {
        out.error = InQuotes(otherClass->path) + " is a " + Trimmed(otherClass->classes[0]) + " tag, not one " + ofClass + " (" + kind + ")";
    } else if (fitting.empty()) {
        out.error = "no " + kind + " " + InQuotes(text) + ": the map has no tag " + ofClass;
    } else {
        std::vector<const std::string*> candidates;
        for (const std::string& path : fitting) candidates.push_back(&path);
        const std::vector<std::string> close = ClosestNames(text, candidates);
        std::vector<std::string> quoted;
        for (const std::string& c : close) quoted.push_back(InQuotes(c));
        out.error = "no " + kind + " " + InQuotes(text) + " among the map's " + Count(fitting.size(), "tag") + " " + ofClass +
                    (quoted.empty() ? "" : "; did you mean " + Alternatives(quoted) + "?");
    }
    return out;
}

ResolvedName NameResolver::ResolveEnum(const ValueEncoding& type, std::string_view text) const {
    ResolvedName out;
    std::vector<std::string> words;
    for (const engine::EnumWord* w : tables_.Words(type.code)) {
        if (EqualsIgnoringCase(w->word, text)) {
            out.value = kEnumHighHalf | static_cast<std::uint32_t>(w->index);
            return out;
        }
        words.push_back(w->word);
    }
    out.error = Quoted(text) + " is no " + SpokenName(type.name) + ": the words are " + Alternatives(words, " and ") ;
    return out;
}

std::optional<std::string> NameResolver::NameOf(std::int32_t valueType, std::uint32_t value) const {
    const ValueEncoding* type = tables_.Encoding(valueType);
    if (type == nullptr || !NamesSomethingOfTheMap(valueType, tables_)) return std::nullopt;
    if (type->none && value == *type->none) return std::string(kNone);
    const auto nameAt = [](const NamedBlock* block, std::uint32_t index) -> std::optional<std::string> {
        if (block == nullptr || !block->Readable() || index >= block->names.size()) return std::nullopt;
        return block->names[index];
    };
    switch (type->storage) {
        case Storage::BlockIndex: {
            const engine::NamedBlockLayout* layout = tables_.BlockOfType(type->code);
            return layout ? nameAt(names_.Block(layout->block), value & kLowHalf) : std::nullopt;
        }
        case Storage::AiIndex32: {
            const std::optional<std::string> encounter = nameAt(names_.Block(nf::kEncounters), value & kAiEncounterMask);
            const std::uint32_t kind = value & kAiKindBits;
            if (!encounter || kind == 0) return value > kAiEncounterMask ? std::nullopt : encounter;
            const std::uint32_t member = value >> kAiMemberShift & kAiMemberMask;
            const Encounter& e = names_.Encounters()[value & kAiEncounterMask];
            const std::vector<std::string>& members = kind == kSquadBit ? e.squads : e.platoons;
            if (kind == kAiKindBits || member >= members.size()) return std::nullopt;
            return *encounter + kAiSeparator + members[member];
        }
        case Storage::TagId:
            for (const MapTagEntry& tag : names_.Tags()) {
                if (tag.ident == value) return tag.path;
            }
            return std::nullopt;
        default:
            for (const engine::EnumWord* w : tables_.Words(type->code)) {
                if (static_cast<std::uint32_t>(w->index) == (value & kLowHalf)) return w->word;
            }
            return std::nullopt;
    }
}

}  // namespace xsc
