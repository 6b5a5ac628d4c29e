(script dormant cams
  (camera_set no_such_point 30))
