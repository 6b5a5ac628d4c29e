#pragma once
// The named things of a generated map with MapOptions::names: what the examples and the tests'
// scripts name. Fixed, whatever the seed, so a script written against one such map compiles into
// every other.
//
// The scenario holds these blocks, in front of the node data (as the blocks before the script
// fields lie in a map the game shipped), and its cutscene flags, camera points and titles at the
// start of the data behind the string data (as those behind the script fields lie); the index
// holds the named tags right behind the scenario, in this order, with the hud message text tag's
// messages, the globals tag's interface bitmaps and the hud globals' waypoint arrows in their data.

#include <cstdint>
#include <string_view>
#include <vector>

#include "mapgen/TagKinds.h"

namespace xsc::mapgen {

// Names of one scenario block, by the engine table's block name.
struct SampleBlock {
    std::string_view block;
    std::vector<std::string_view> names;
};

// An object placed under a name: the placement block (object-spawn-blocks.tsv) and the index of
// the name in object_names.
struct SamplePlacement {
    std::string_view block;
    std::int32_t objectName;
};

struct SampleEncounter {
    std::string_view name;
    std::vector<std::string_view> squads;
    std::vector<std::string_view> platoons;
};

struct SampleNames {
    std::vector<SampleBlock> scenarioBlocks;  // in front of the node data (encounters apart)
    std::vector<SampleBlock> behindStrings;   // the cutscene blocks, behind the string data
    std::vector<SamplePlacement> placements;
    std::vector<SampleEncounter> encounters;
    std::vector<std::string_view> hudMessages;
    std::vector<std::string_view> navpoints;
    std::vector<TagKind> tags;                // tags 1, 2, ...: the first three hold the blocks above
};

const SampleNames& TheSampleNames();

}  // namespace xsc::mapgen
