; Faults across files: a name taken in another file, an unknown name, a stub of another type.
(global short shared_count 1)
(script stub real enough 0)
(script startup more (wake main) (set missing 1))
