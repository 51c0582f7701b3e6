-- platform: unix
-- console: none
-- One game process makes many mixed calls: code that succeeds, raises, exits
-- or does not compile, large Strings through puts, files missing, empty,
-- raising and sound. Its resident memory after warm-up must stay nearly flat.
-- KESTREL_SOAK_CALLS sets the number of calls (100,000 when unset).
local calls = tonumber(os.getenv("KESTREL_SOAK_CALLS")) or 100000
local bound_megabytes = 20

local function write(path, text)
  local file = assert(io.open(path, "wb"))
  file:write(text)
  file:close()
end
write("empty.rb", "")
write("raising.rb", "raise 'from a file ' + 'x' * 1000\n")
write("sound.rb", "$from_file = (1..100).map(&:to_s).join(',')\n")

local function resident_megabytes()
  local statm = assert(io.open("/proc/self/statm", "r"))
  local pages = statm:read("*a"):match("^%d+ (%d+)")
  statm:close()
  return tonumber(pages) * 4096 / 1048576
end

local mixed = {
  { rb.RunString, "$n = ($n || 0) + 1", 1 },
  { rb.RunString, "raise \"soak #{$n}\"", 0 },
  { rb.RunString, "exit 3", 0 },
  { rb.RunString, "def (", 0 },
  { rb.RunString, "puts 'x' * 65536", 1 },
  { rb.RunFile, "missing.rb", 1 },
  { rb.RunFile, "empty.rb", 1 },
  { rb.RunFile, "raising.rb", 0 },
  { rb.RunFile, "sound.rb", 1 },
  { rb.RunString, "[1, 2, 3].map { |v| v.to_s * 100 }.join.size", 1 },
}

-- The stand-in game hands a failure back, raises it later, or unwinds with it
-- at once: in each mode a call must give what it gives in the others.
local function call(step)
  local ok, count = pcall(step[1], step[2])
  if ok then
    assert(count == step[3], step[2])
  else
    assert(step[3] == 0 or step[1] == rb.RunFile, step[2])
  end
end

assert(rb.Initialize() == 1)
local warm_up = math.max(math.floor(calls / 10), #mixed)
for i = 1, warm_up do
  call(mixed[(i - 1) % #mixed + 1])
end
collectgarbage()
local before = resident_megabytes()
for i = 1, calls do
  call(mixed[(i - 1) % #mixed + 1])
end
collectgarbage()
local after = resident_megabytes()
io.stderr:write(string.format("%s: %d calls after %d to warm up; resident %.1f MB -> %.1f MB (%+.1f MB)\n",
  HOST_OPTIONS, calls, warm_up, before, after, after - before))
assert(after - before < bound_megabytes, "resident memory grew by more than " .. bound_megabytes .. " MB")
