; announcer.hsc: a multiplayer announcer for a server of the custom edition. It welcomes the
; players, says how long the game has run every minute, and calls out anyone entering the flag
; room. sv_say exists only in the custom build: `xsc check --engine retail` refuses it.
; Builds: custom
;
; tv_flag_room is a trigger volume and mp_welcome a HUD message of the scenario.

; Minutes since the game started: the game counts 30 ticks a second.
(script static long minutes_played
  (/ (game_time) 1800))

(script startup welcome
  (sleep 150)
  (sv_say "Welcome to the arena. First team to 5 captures wins.")
  (hud_set_help_text mp_welcome)
  (show_hud_help_text true)
  (sleep 300)
  (show_hud_help_text false))

(script continuous announce_time
  (sleep 1800)
  (sv_say "Another minute of play.")
  (if (>= (minutes_played) 10)
    (sv_say "Ten minutes played: sudden death is near.")))

(script continuous announce_flag_room
  (sleep_until (volume_test_objects tv_flag_room (players)) 15)
  (sv_say "Someone is in the flag room!")
  (sound_impulse_start "sound\dialog\announcer\flag_room" none 1)
  (sleep_until (not (volume_test_objects tv_flag_room (players))) 15))
