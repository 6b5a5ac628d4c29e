(script startup names
  (ai_place enc_marines/sarge_squad)
  (sound_impulse_start "sound\sfx\alarm" player_truck 1)
  (activate_team_nav_point_object flag_blue covenant marine_sarge 0.5)
  (hud_set_help_text puzzle_solved))
