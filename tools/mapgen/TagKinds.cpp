#include "mapgen/TagKinds.h"

#include <array>

#include "mapgen/SyntheticFormat.h"

namespace xsc::mapgen {
namespace {

using synthetic::kNoClass;

constexpr TagKind kScenario{"scnr", kNoClass, kNoClass, "levels\\test\\sample\\sample"};

constexpr std::array kOthers{
    TagKind{"bitm", kNoClass, kNoClass, "ui\\hud\\bitmaps\\hud_icons_#"},
    TagKind{"mod2", kNoClass, kNoClass, "scenery\\rocks\\boulder_#\\boulder_#"},
    TagKind{"snd!", kNoClass, kNoClass, "sound\\sfx\\weapons\\pistol\\fire_#"},
    TagKind{"weap", "item", "obje", "weapons\\pistol_#\\pistol_#"},
    TagKind{"scen", "obje", kNoClass, "scenery\\trees\\tree_#\\tree_#"},
    TagKind{"bipd", "unit", "obje", "characters\\cyborg_#\\cyborg_#"},
};

constexpr std::array kStructured{
    TagKind{"weap", "item", "obje", "weapons\\pistol_#\\pistol_#"},
    TagKind{"bipd", "unit", "obje", "characters\\cyborg_#\\cyborg_#"},
    TagKind{"vehi", "unit", "obje", "vehicles\\warthog_#\\warthog_#"},
    TagKind{"effe", kNoClass, kNoClass, "effects\\explosions\\blast_#"},
    TagKind{"snd!", kNoClass, kNoClass, "sound\\sfx\\weapons\\pistol\\fire_#"},
    TagKind{"bitm", kNoClass, kNoClass, "ui\\hud\\bitmaps\\hud_icons_#"},
    TagKind{"mod2", kNoClass, kNoClass, "scenery\\rocks\\boulder_#\\boulder_#"},
    TagKind{"jpt!", kNoClass, kNoClass, "weapons\\frag grenade\\explosion_#"},
    TagKind{"proj", "obje", kNoClass, "weapons\\pistol_#\\bullet_#"},
};

}  // namespace

const TagKind& StructuredKind(std::uint64_t choice) { return kStructured[choice % kStructured.size()]; }

const TagKind& ScenarioKind() { return kScenario; }

const TagKind& OtherKind(std::uint64_t choice) { return kOthers[choice % kOthers.size()]; }

std::string TagName(const TagKind& kind, std::int32_t tagIndex) {
    const std::string index = std::to_string(tagIndex);
    std::string name;
    for (const char c : kind.namePattern) {
        if (c == '#') {
            name += index;
        } else {
            name.push_back(c);
        }
    }
    return name;
}

}  // namespace xsc::mapgen
