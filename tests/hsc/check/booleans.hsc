; Numbers where a boolean is expected: 1 and 0, and the game's own (sleep_until (camera_time)).
(global boolean flag 1)
(global short ticks 0)
(script startup main
  (camera_control 1)
  (show_hud 0)
  (sleep_until (camera_time))
  (if ticks (sleep 1))
  (set flag (ai_living_count enc_a))
  (= flag 1)
  (show_hud 2)
  (show_hud 1.0)
  (sleep 1))
