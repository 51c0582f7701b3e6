puts "hello from a file\n"
