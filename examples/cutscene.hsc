; cutscene.hsc: the opening cutscene of a level. Input and HUD off, letterbox on, the camera
; moves through three camera points while two titles are shown, then the player is put in
; place and gets control back.
; Builds: retail, custom, demo
;
; intro_cam_1 to intro_cam_3 are camera points, title_chapter and title_place cutscene titles,
; intro_flag a cutscene flag: the scenario must define them (a compile looks each up in the map and
; refuses a name the map lacks; `xsc names MAP` lists what it has).

;* Fades in from black over one second (30 ticks) and waits for it: called, so a static
   script of no value. *;
(script static void fade_in_slowly
  (fade_in 0 0 0 30)
  (sleep 30))

(script startup intro
  (player_enable_input false)
  (show_hud false)
  (cinematic_start)
  (cinematic_show_letterbox true)
  (camera_control true)
  (fade_out 0 0 0 0)

  ; The first shot holds still; the next two pan over 10 and 8 seconds.
  (camera_set intro_cam_1 0)
  (fade_in_slowly)
  (cinematic_set_title title_chapter)
  (sleep 150)
  (camera_set intro_cam_2 300)
  (cinematic_set_title_delayed title_place 2.5)
  (sleep 150)
  (camera_set intro_cam_3 240)
  (sleep (camera_time))

  ; Back to the player, who now stands at the flag.
  (fade_out 1 1 1 15)
  (sleep 15)
  (object_teleport (unit (list_get (players) 0)) intro_flag)
  (camera_control false)
  (cinematic_show_letterbox false)
  (cinematic_stop)
  (fade_in 1 1 1 15)
  (show_hud true)
  (player_enable_input true)
  (game_save))
