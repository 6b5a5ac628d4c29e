#include "mapgen/SampleNames.h"

#include "mapgen/SyntheticFormat.h"

namespace xsc::mapgen {

const SampleNames& TheSampleNames() {
    using synthetic::kNoClass;
    static const SampleNames names{
        {
            // The last two are read as something else where they stand bare (an engine global, a
            // number): a script names them in quotes.
            {"object_names", {"switch_a", "switch_b", "switch_c", "puzzle_door", "player_truck", "crate_1", "marine_sarge",
                              "pistol_1", "lone_name", "cheat_jetpack", "12"}},
            {"trigger_volumes", {"tv_courtyard", "tv_bridge", "tv_flag_room", "tv_twin", "TV_TWIN"}},
            {"recorded_animations", {"truck_arrival"}},
            {"device_groups", {"door_group", "switch_group"}},
            {"command_lists", {"cl_patrol", "cl_retreat"}},
            {"player_starting_profiles", {"default_profile", "heavy_profile"}},
            {"ai_conversations", {"conv_greeting"}},
        },
        {
            {"cutscene_flags", {"intro_flag", "exit_flag"}},
            {"cutscene_camera_points", {"uicam", "intro_cam_1", "intro_cam_2", "intro_cam_3", "point_2"}},
            {"cutscene_titles", {"title_chapter", "title_place"}},
        },
        // lone_name (8), cheat_jetpack (9) and 12 (10) have nothing placed under them.
        {{"controls", 0}, {"controls", 1}, {"controls", 2}, {"machines", 3}, {"vehicles", 4}, {"scenery", 5}, {"bipeds", 6},
         {"weapons", 7}},
        {
            {"enc_wave_1", {"left_flank", "right_flank"}, {"first_platoon"}},
            {"enc_wave_2", {"main"}, {}},
            {"enc_wave_3", {}, {}},
            {"enc_wave_2_coop", {}, {}},
            {"enc_wave_2_legendary", {}, {}},
            {"enc_marines", {"sarge_squad", "riflemen"}, {"escort"}},
        },
        {"obj_area_clear", "puzzle_solved", "mp_welcome", "obj_reach_bridge"},
        {"default", "default_red", "flag_blue", "flag_red"},
        {
            {"hmt ", kNoClass, kNoClass, "ui\\hud\\sample_messages"},
            {"matg", kNoClass, kNoClass, "globals\\globals"},
            {"hudg", kNoClass, kNoClass, "ui\\hud\\default"},
            {"snd!", kNoClass, kNoClass, "sound\\dialog\\announcer\\flag_room"},
            {"snd!", kNoClass, kNoClass, "sound\\sfx\\alarm"},
            {"effe", kNoClass, kNoClass, "effects\\explosions\\large explosion"},
            {"jpt!", kNoClass, kNoClass, "weapons\\frag grenade\\explosion"},
            {"lsnd", kNoClass, kNoClass, "sound\\sfx\\ambience\\wind"},
            {"antr", kNoClass, kNoClass, "characters\\marine\\marine"},
            {"actv", kNoClass, kNoClass, "characters\\marine\\marine sergeant"},
            // The same path as the animations above: an object definition finds the biped.
            {"bipd", "unit", "obje", "characters\\marine\\marine"},
            {"vehi", "unit", "obje", "vehicles\\warthog\\warthog"},
            {"scen", "obje", kNoClass, "scenery\\crates\\crate"},
            {"mach", "devi", "obje", "levels\\test\\devices\\door"},
            {"ctrl", "devi", "obje", "levels\\test\\devices\\switch"},
            {"weap", "item", "obje", "weapons\\pistol\\pistol"},
        },
    };
    return names;
}

}  // namespace xsc::mapgen
