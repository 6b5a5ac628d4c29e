(script startup intro
  (camera_set intro_cam)
  (sleep "soon")
  (wake outro))
(script static void (give_lives (short n)) (sleep n))
