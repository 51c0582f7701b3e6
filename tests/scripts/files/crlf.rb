puts "line one\n"
puts "line two\n"
