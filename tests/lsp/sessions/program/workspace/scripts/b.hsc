(script startup start
  (wake ambush)
  (sleep_until (ambush_done) 30))
