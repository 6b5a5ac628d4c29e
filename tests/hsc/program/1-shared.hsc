; Shared scripts, as a level's scripts use them: a global, a stub the level replaces, a helper.
(global short shared_count 0)
(script stub void level_intro (sleep 1))
(script static boolean enough (> shared_count 3))
