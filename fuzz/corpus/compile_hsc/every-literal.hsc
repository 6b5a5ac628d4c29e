(script static real r -1.25e-1)
(script startup s
  (sleep_until (> (r) 0.5) -32768 2147483647)
  (show_hud on) (print "a ; b (c)") (camera_set "point_2" 400) (wake s) rasterizer_fps 7 "t")
