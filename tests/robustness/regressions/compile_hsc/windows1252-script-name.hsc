(script static void d›jà (print "x"))
(script startup main (d›jà))
