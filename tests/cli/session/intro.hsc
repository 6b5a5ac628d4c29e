; A short opening: a static script called by a startup script.
(script static boolean alone
  (= (list_count (players)) 1))

(script startup intro
  (camera_set intro_cam_1 0)
  (if (alone) (print "welcome, lone wolf") (print "welcome, squad"))
  (game_speed 0.5))
