(script startup e (pritn "x") (sleep 1.5) (wake nobody)) (global short g 0) )
