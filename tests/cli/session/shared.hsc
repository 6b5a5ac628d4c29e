; Shared scripts: a global and a stub the level replaces.
(global short lives 3)
(script stub void welcome (sleep 1))
