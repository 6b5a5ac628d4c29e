(script startup a (print "bad ÿ byte") (print "tab	here") (print "it’s…"))
(script startup b (print "undefined  byte"))
;* a block comment never closed
(script startup c)
