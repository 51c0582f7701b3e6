-- Before rb.Initialize, puts is Ruby's own and writes to standard output; print,
-- p and $stdout never reach the console. What they write is in the host's
-- standard output as soon as the call returns, even when that is a file.
local function written()
  local file = assert(io.open("stdout.txt", "rb"))
  local text = file:read("*a")
  file:close()
  return (text:gsub("\r\n", "\n"))  -- Windows writes text-mode line ends
end

assert(rb.RunString("puts 'ruby puts'") == 1)
assert(written() == "ruby puts\n", written())
assert(rb.Initialize() == 1)
assert(rb.RunString("print 'print '; p :p; $stdout.write('write '); $stdout.puts('stdout puts'); puts 'console'") == 1)
assert(written() == "ruby puts\nprint :p\nwrite stdout puts\n", written())
assert(rb.RunString("$stderr.print 'to standard error'") == 1)
