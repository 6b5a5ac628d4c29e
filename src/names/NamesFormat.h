#pragma once
// The parts of the map's named things that the engine tables do not give as columns. The blocks'
// own offsets, element sizes and name positions are in engine/data/scenario-blocks.tsv and
// object-spawn-blocks.tsv (engine/NameTables.h).
//
//   block field, 12 bytes:    +0 int32 element count   +4 u32 address of the first element
//                             +8 unused
//   tag dependency, 16 bytes: +0 class code   +4 path address   +8 path length   +12 tag ID
//                             (0xFFFFFFFF: no tag)
//   name of an element: 32 bytes, ASCII, zero-terminated and zero-padded (31 characters at most)
//   globals tag (matg): interface_bitmaps element 0 holds the hud globals' dependency at +0x60

#include <cstdint>
#include <string_view>

#include "scriptdata/ScriptDataFormat.h"

namespace xsc::namesformat {

// The block field is the one the scenario's script blocks use.
using scriptformat::kBlockAddress;
using scriptformat::kBlockCount;
constexpr std::int64_t kBlockFieldSize = 12;

constexpr std::int64_t kDependencySize = 16;
constexpr std::int64_t kDependencyPath = 4;
constexpr std::int64_t kDependencyTagId = 12;
constexpr std::uint32_t kNoTag = 0xFFFFFFFF;

constexpr std::int64_t kNameWidth = 32;

constexpr std::int64_t kHudGlobalsDependency = 0x60;

// Class codes in reading order.
constexpr std::string_view kScenarioClass = "scnr";
constexpr std::string_view kHudMessageTextClass = "hmt ";
constexpr std::string_view kGlobalsClass = "matg";
constexpr std::string_view kHudGlobalsClass = "hudg";

// The blocks of scenario-blocks.tsv read by name.
constexpr std::string_view kObjectNames = "object_names";
constexpr std::string_view kEncounters = "encounters";
constexpr std::string_view kSquads = "encounter_squads";
constexpr std::string_view kPlatoons = "encounter_platoons";
constexpr std::string_view kHudMessagesTag = "hud_messages_tag";
constexpr std::string_view kHudMessages = "hud_message_text_messages";
constexpr std::string_view kInterfaceBitmaps = "globals_interface_bitmaps";
constexpr std::string_view kWaypointArrows = "hud_globals_waypoint_arrows";

}  // namespace xsc::namesformat
