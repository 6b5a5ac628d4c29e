; Faults of form: each is reported, and the rest is still read.
(script startup fine (print "ok")))
()
stray_word
(global short counter 0)
(scripts startup typo)
(script startup)
(script sometimes x (print "x"))
(script startup void returns_nothing (print "x"))
(script dormant print (sleep 1))
(script dormant fine (sleep 1))
(script startup nested (script static void inner (sleep 1)))
(script static short empty)
(script startup open (print "never closed"
