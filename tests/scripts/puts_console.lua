-- host: --errors return
-- After rb.Initialize, puts writes a String's bytes to the console and nothing else.
assert(rb.Initialize() == 1)
local function runs(source)
  local count, notice = rb.RunString(source)
  assert(count == 1 and notice == nil, source)
end
runs([[puts "hi " + 100.to_s + "% sure\n"]])
runs([[puts "no line break"]])
runs([[puts " follows on\n"]])
runs([[puts ""]])
runs([[puts "%s %d %n %%\n"]])
runs([[puts "before\0after"]])
runs([[puts "\n"]])
runs([=[[1, :sym, nil, true, false, [1, "a"]].each { |v| raise v.inspect unless puts(v) == 0 }]=])
-- A wrong number of arguments is an exception in the calling code.
local count, notice = rb.RunString("puts")
assert(count == 0 and notice == "RunString failed, check console for details.\n")
count, notice = rb.RunString("puts 'a', 'b'")
assert(count == 0 and notice == "RunString failed, check console for details.\n")
-- Initialize again: the same bridge, defined anew.
assert(rb.Initialize() == 1)
runs([[puts "again\n"]])
