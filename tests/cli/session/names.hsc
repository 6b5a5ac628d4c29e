; Names the map lacks, a tag of another class, a name two trigger volumes share and an object name
; nothing is placed under.
(script startup names
  (camera_set intro_cam 0)
  (sound_impulse_start "weapons\pistol\pistol" none 1)
  (ai_place enc_wave_1/nobody)
  (sleep_until (volume_test_objects tv_twin (players)) 15)
  (object_create lone_name))
