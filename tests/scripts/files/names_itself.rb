$name_seen = __FILE__
