#pragma once
// The one step from a literal that names something of the map to the 32-bit value the game reads
// in the node's value field, used by the compile, the check, the window and the decompile alike:
//
//   block index   the index of the first element of the block whose name equals the text, letter
//                 case ignored (objects, trigger volumes, cutscene flags, camera points, titles,
//                 recorded animations, device groups, command lists, starting profiles,
//                 conversations, hud messages, navpoints), zero-extended: point_2 as the 6th camera
//                 point stores 00000005
//   ai            "enc": the encounter's index; "enc/name": a squad of it (looked up first), stored
//                 as 0x80000000 | squad << 16 | enc, or a platoon, 0x40000000 | platoon << 16 | enc
//   tag           the ID of the first tag whose path (backslashes, no extension) equals the text
//                 and whose class the value type takes
//   enum          the word's index (game_difficulty, team) in the low half, 0xFFFF in the high half
//                 as in a short's
//   none          what value-encoding.tsv gives for the type (0xFFFFFFFF where it gives one)
//
// A name the map lacks has no value: its error says what kind was looked for, where, and the
// nearest names. The text itself is stored in the string data as before, whatever the value.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xsc {

class MapNames;
struct MapTagEntry;
struct Placement;

namespace engine {
class NameTables;
struct TagTypeClasses;
struct ValueEncoding;
}

struct ResolvedName {
    std::optional<std::uint32_t> value;  // none when the name cannot be resolved
    std::string error;                   // why, when there is no value
    std::vector<std::string> warnings;   // the name is used twice; no fitting object is placed under it
};

// True for the value types whose literals name something of the map and are looked up in it
// (without a map, the check notes that they were not).
bool NamesSomethingOfTheMap(std::int32_t valueType, const engine::NameTables& tables);

// A table's name as messages say it: "cutscene_camera_point" is "cutscene camera point".
std::string SpokenName(std::string_view name);

// What messages call a name of a type whose values index `block`: "object name", "hud message",
// else the type's spoken name ("cutscene camera point").
std::string KindOf(const engine::ValueEncoding& type, std::string_view block);

// Whether a value of this object type may name what a placement puts under an object name (an
// object list takes any object).
bool PlacementFits(const Placement& placement, const engine::ValueEncoding& type);

// Whether a value of a tag type may name this tag: its class, one of its parent classes, or (for
// an abstract class) one of the classes that are one.
bool TagFits(const MapTagEntry& tag, const engine::TagTypeClasses& type);

class NameResolver {
public:
    explicit NameResolver(const MapNames& names);
    NameResolver(const MapNames& names, const engine::NameTables& tables);

    ResolvedName Resolve(std::int32_t valueType, std::string_view text) const;
    // The name a stored value designates, as Resolve would give it back ("none" for the value of
    // none); empty when it designates nothing the map has.
    std::optional<std::string> NameOf(std::int32_t valueType, std::uint32_t value) const;

    const engine::NameTables& Tables() const { return tables_; }
    const MapNames& Names() const { return names_; }

private:
    ResolvedName ResolveBlockIndex(const engine::ValueEncoding& type, std::string_view text) const;
    ResolvedName ResolveAi(std::string_view text) const;
    ResolvedName ResolveTag(const engine::ValueEncoding& type, std::string_view text) const;
    ResolvedName ResolveEnum(const engine::ValueEncoding& type, std::string_view text) const;

    const MapNames& names_;
    const engine::NameTables& tables_;
};

}  // namespace xsc
