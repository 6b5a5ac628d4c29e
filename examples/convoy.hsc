; convoy.hsc: a marine escort for a truck. When a player reaches the bridge the marines are
; placed and join the player's side, the camera cuts to the bridge while an alarm sounds from the
; truck, the sergeant boards it and his squad follows the patrol route.
; Builds: retail, custom, demo
;
; Every name here is one of the scenario's things, looked up in the map when the script is
; compiled (`xsc names MAP` lists them): the encounter enc_marines with its squad sarge_squad and
; its platoon escort, the trigger volume tv_bridge, the camera point point_2, the command list
; cl_patrol, the objects marine_sarge (a biped), player_truck (a vehicle) and crate_1 (scenery),
; and the sound tag "sound\sfx\alarm". The team words (player, human, ...) are the game's own.

(script startup convoy
  (sleep_until (volume_test_objects tv_bridge (players)) 15)
  (ai_place enc_marines)
  (ai_allegiance player human)
  (object_create crate_1)

  ; A short look at the bridge, with the alarm sounding from the truck.
  (camera_control true)
  (camera_set point_2 0)
  (sound_impulse_start "sound\sfx\alarm" player_truck 1)
  (sleep 90)
  (camera_control false)

  (unit_enter_vehicle marine_sarge player_truck "driver")
  (ai_command_list enc_marines/sarge_squad cl_patrol)
  (ai_try_to_fight enc_marines/escort enc_wave_1))
