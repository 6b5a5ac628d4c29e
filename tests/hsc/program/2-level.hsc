; The level: its own global reads the shared one; it replaces the stub and calls the helper.
(global short level_count (+ shared_count 1))
(script static void level_intro (set shared_count level_count))
(script startup main
  (level_intro)
  (sleep_until (enough) 30))
