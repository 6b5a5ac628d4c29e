; The level: names from shared.hsc, and the stub replaced.
(script static void welcome (print "welcome"))
(script startup level_start
  (welcome)
  (set lives (+ lives 1))
  (camera_control 1))
