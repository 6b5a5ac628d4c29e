(script dormant a_name_of_thirty_two_bytes_long_ (sleep 1))
(script startup fine (wake a_name_of_thirty_two_bytes_long_))
