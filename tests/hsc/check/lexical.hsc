; A string that runs to the end: the rest of the text is taken by it.
(script startup a (print "fine"))
(script startup b (print "never closed))
(script startup c (print "unseen"))
