(script startup start
  (wake cams))
