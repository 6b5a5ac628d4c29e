(global "boolean" done 0)
(script startup main (camera_control 1) (print "it’s done…") (set done true))
