#pragma once
// Everything of a map that a script can name, read once from the opened map: the scenario's blocks
// of named elements (object names with the objects placed under them, trigger volumes, cutscene
// flags, camera points and titles, recorded animations, device groups, encounters with their
// squads and platoons, command lists, conversations, starting profiles), the messages of the hud
// message text tag the scenario names, the navpoints (waypoint arrows) of the hud globals that the
// globals tag names, and the tag index.
//
// Every count and address is checked against the data of the tag that holds the block (a tag's
// data runs from its data offset to the next tag's, map/TagSpans.h), so a damaged map never makes
// the reader go astray. A block that cannot be read keeps why in `error`, and the rest is read as
// usual: a script that names nothing of a damaged block still compiles; one that does is refused
// with that error.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace xsc {

class BinaryStream;
class HaloPcMap;

namespace engine {
class NameTables;
}

// One block of named elements, in element order.
struct NamedBlock {
    std::string block;             // the engine table's name: "trigger_volumes"
    std::string where;             // for messages: "the scenario's trigger volumes (scnr+0x360)"
    std::vector<std::string> names;
    std::string error;             // why it cannot be read (then `names` is empty)
    bool absent = false;           // the map has no such block (no hud message text tag, say)

    bool Readable() const { return error.empty(); }
};

// An object placed under a name, by one of the scenario's placement blocks.
struct Placement {
    std::string block;             // "controls"
    std::int32_t objectTypeCode = 0;
    std::string objectType;        // "device_control"
    std::int32_t index = 0;        // in its block
    const std::vector<std::int32_t>* valueTypes = nullptr;  // the object value types that may name it
};

struct Encounter {
    std::vector<std::string> squads;
    std::vector<std::string> platoons;
};

struct MapTagEntry {
    std::int32_t index = 0;
    std::uint32_t ident = 0;
    std::string classes[3];        // in reading order
    std::string path;
};

class MapNames {
public:
    // The loaded map's file, opened for this read alone.
    static MapNames Read(const HaloPcMap& map);
    static MapNames Read(const HaloPcMap& map, BinaryStream& file);
    static MapNames Read(const HaloPcMap& map, BinaryStream& file, const engine::NameTables& tables);

    // The scenario's named blocks, then the hud messages and the navpoints, in the order `xsc
    // names` shows them.
    const std::vector<NamedBlock>& Blocks() const { return blocks_; }
    // By the engine table's name; null when the map has no such kind.
    const NamedBlock* Block(std::string_view block) const;
    // Per element of object_names: the objects placed under it.
    const std::vector<std::vector<Placement>>& Placements() const { return placements_; }
    // Per encounter: its squads and platoons.
    const std::vector<Encounter>& Encounters() const { return encounters_; }
    const std::vector<MapTagEntry>& Tags() const { return tags_; }

private:
    std::vector<NamedBlock> blocks_;
    std::vector<std::vector<Placement>> placements_;
    std::vector<Encounter> encounters_;
    std::vector<MapTagEntry> tags_;

    friend class MapNamesReader;
};

}  // namespace xsc
