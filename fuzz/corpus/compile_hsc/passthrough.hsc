(script static short n (if (game_is_cooperative) 2 1))
(script dormant d
  (set cheat_jetpack (= (n) 2))
  (cond ((= (n) 1) (sleep 1)) (true (sleep 2) (sleep 3)))
  (game_speed (begin (sleep 1) 2.5)))
