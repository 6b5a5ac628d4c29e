(script startup intro
  (camera_set intro_cam)
  (sleep "soon")
  (wake outro))
(global short lives 3)
