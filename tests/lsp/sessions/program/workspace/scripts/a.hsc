; the ambush, its end, and the waves
(global "short" waves 0)

(script dormant ambush
  (ai_place enc_ambush))

(script static boolean ambush_done
  (<= (ai_living_count enc_ambush) 0))
