-- host: --errors return
-- A 20 MB source runs whole, and a large file that raises, run again and
-- again, gives its buffer back each time.
local function write(path, megabytes, last)
  local file = assert(io.open(path, "wb"))
  local line = "# " .. string.rep("filler ", 8) .. "\n"
  local block = string.rep(line, math.floor(65536 / #line))
  for _ = 1, megabytes * 16 do
    file:write(block)
  end
  file:write(last)
  file:close()
end

local function resident_megabytes()
  local statm = io.open("/proc/self/statm", "r")
  if not statm then
    return nil  -- no such figure on this platform
  end
  local pages = statm:read("*a"):match("^%d+ (%d+)")
  statm:close()
  return tonumber(pages) * 4096 / 1048576
end

assert(rb.Initialize() == 1)
write("twenty.rb", 20, 'puts "twenty megabytes read\\n"\n')
assert(rb.RunFile("twenty.rb") == 1)

write("raising.rb", 2, 'raise "at the end"\n')
local notice = "RunFile failed, check console for details.\n"
local function fail_once()
  local count, got = rb.RunFile("raising.rb")
  assert(count == 0 and got == notice)
end
-- Measured after a full collection each time: the interpreter collects its
-- own copies of the source when it sees fit, and on i386 the figure swung by
-- 30 MB between two points of its cycle.
local function collected_megabytes()
  assert(rb.RunString("GC.start") == 1)
  return resident_megabytes()
end
for _ = 1, 10 do fail_once() end
local before = collected_megabytes()
for _ = 1, 100 do fail_once() end
local after = collected_megabytes()
if before then
  assert(after - before < 30, string.format("grew from %.1f MB to %.1f MB", before, after))
end
