(script startup u (print "never closed
