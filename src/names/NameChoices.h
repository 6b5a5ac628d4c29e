#pragma once
// The names a value of one type can take in a map, as an editor offers them while a script is
// typed: each name the look-up of a compile (NameResolution.h) finds, once, with what it designates.
//
//   block index   the block's names, in element order; of names alike (letter case ignored) the
//                 first, the one a look-up finds; for an object type only the names under which an
//                 object of a fitting type is placed (any object for an object list)
//   ai            each encounter, then its squads ("enc/squad") and platoons ("enc/platoon"); a
//                 platoon named like a squad of its encounter is never found, and is left out
//   tag           the paths of the tags whose class the type takes, in index order, each once
//   enum          the type's words (they are the build's, not the map's: a map is not needed)
//
// Nothing for a type whose values name nothing of the map, or whose block cannot be read.

#include <cstdint>
#include <string>
#include <vector>

namespace xsc {

class NameResolver;
struct MapTagEntry;

struct NameChoice {
    std::string text;            // as a script names it: "point_2", "enc_wave_1/left_flank"
    std::string kind;            // "cutscene camera point", "squad", "sound tag", "team"
    std::int32_t index = 0;      // in its block (a squad's or platoon's in its encounter), the tag's, the word's
    std::string owner;           // a squad's or platoon's encounter; empty otherwise
    const MapTagEntry* tag = nullptr;  // a tag's entry (path, ID): lives as long as the map's names
};

std::vector<NameChoice> NameChoices(const NameResolver& resolver, std::int32_t valueType);

// What a choice designates, in a few words: "cutscene camera point #4", "squad #1 of encounter
// enc_wave_1", "sound tag #5", "team #2".
std::string DescribeChoice(const NameChoice& choice);

}  // namespace xsc
