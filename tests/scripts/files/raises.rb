raise "from file"
