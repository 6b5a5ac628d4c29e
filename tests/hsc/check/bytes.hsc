(script startup a (print "bad ÿ byte") (print "tab	here"))
;* a block comment never closed
(script startup b)
