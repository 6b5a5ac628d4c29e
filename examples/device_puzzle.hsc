; device_puzzle.hsc: a door that opens once three switches are thrown. The door starts closed
; and without power; when every switch stands at position 1 it gets power and swings open, and
; after ten seconds the switches reset.
; Builds: retail, custom, demo
;
; switch_a, switch_b, switch_c and puzzle_door are devices, puzzle_solved a HUD message of the
; scenario.

(script static boolean switches_thrown
  (and (= (device_get_position switch_a) 1)
       (= (device_get_position switch_b) 1)
       (= (device_get_position switch_c) 1)))

(script startup puzzle_setup
  (device_set_position_immediate puzzle_door 0)
  (device_set_power puzzle_door 0)
  (device_set_never_appears_locked puzzle_door false))

(script continuous puzzle
  (sleep_until (switches_thrown) 10)
  (device_set_power puzzle_door 1)
  (device_set_position puzzle_door 1)
  (hud_set_help_text puzzle_solved)
  (sleep_until (>= (device_get_position puzzle_door) 0.9) 5)
  (sleep 300)
  (device_set_position switch_a 0)
  (device_set_position switch_b 0)
  (device_set_position switch_c 0))
