$from_file = 42
