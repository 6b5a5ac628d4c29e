; Value types as places give them, and literals as their types store them (see typing.xml).
(script static real half 0.5)
(script static unit first_player (unit (list_get (players) 0)))
(script static boolean ready (> (ai_living_count enc_wave_1) 2))

(script startup places
  ; A statement is a void place; a literal standing there keeps its own type.
  (ai_living_count enc_wave_1)
  7
  2.5
  on
  "words"
  ; short to real, long to real, unit to object, a short global to real and a real one to short.
  (object_set_shield (first_player) (ai_living_count enc_wave_1))
  (game_speed (game_time))
  (object_set_scale (first_player) rasterizer_refresh_rate rasterizer_near_clip_distance)
  ; Numbers of every width, reals kept as written, booleans in every spelling.
  (sleep_until (ready) -32768 2147483647)
  (object_set_scale marine_sarge -1.25e-1 32767)
  (fade_in 0.1 3e2 1.0 5)
  (cheat_all_powerups)
  (show_hud OFF)
  (show_hud True)
  ; Names of the map by what the map gives for them, in quotes too; scripts by the index of their
  ; record.
  (camera_set "point_2" 400)
  (sleep 30 places)
  (wake places)
  ; Passthrough functions take the type of their place; beside = a literal takes the other side's.
  (set cheat_deathless_player (ready))
  (if (= (half) 1) (sleep 1) (sleep 2))
  (sleep (if (ready) 10 20))
  (game_speed (begin (sleep 1) 2))
  (= 3 (game_time))
  (inspect 70000)
  (cond ((ready) (sleep 1)) ((= (half) 0.25) (sleep 2) (sleep 3)))
  (half))
