; encounters.hsc: three waves of enemies. The first is placed when a player enters the
; courtyard, the second when the first is nearly beaten, the last (a dormant script) when the
; second has lost three quarters of its strength or a player reaches the bridge.
; Builds: retail, custom, demo
;
; enc_wave_1 to enc_wave_3 are encounters, tv_courtyard and tv_bridge trigger volumes and
; obj_area_clear a HUD message of the scenario.

; True when at most two of the first wave still live.
(script static boolean wave_1_beaten
  (<= (ai_living_count enc_wave_1) 2))

(script dormant last_wave
  (ai_place enc_wave_3)
  (ai_magically_see_players enc_wave_3)
  (sleep_until (= (ai_living_count enc_wave_3) 0) 30)
  (hud_set_objective_text obj_area_clear)
  (game_save))

(script startup waves
  (sleep_until (volume_test_objects tv_courtyard (players)) 15)
  (ai_place enc_wave_1)
  ; Checked every second, for at most a minute.
  (sleep_until (wave_1_beaten) 30 1800)
  (ai_place enc_wave_2)
  (ai_migrate enc_wave_1 enc_wave_2)
  (sleep_until
    (or (volume_test_objects tv_bridge (players))
        (< (ai_living_fraction enc_wave_2) 0.25))
    15)
  ; Harder games get more enemies.
  (cond
    ((game_is_cooperative) (ai_place enc_wave_2_coop) (sleep 90))
    ((= (game_difficulty_get) impossible) (ai_place enc_wave_2_legendary)))
  (wake last_wave))
