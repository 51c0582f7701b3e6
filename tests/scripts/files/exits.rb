puts "leaving\n"
exit
puts "not reached\n"
