-- host variants: --cycles 2 --errors return | --cycles 2 --errors raise | --cycles 2 --errors unwind
-- A finalizer that runs while the game closes the state, after gmod_close, calls every member: each is refused without touching the host's objects (count 0, no notice), and the next cycle finds Ruby as it was.
local members = rb
assert(members.Initialize() == 1)
assert(members.RunString("$opened = ($opened || 0) + 1; puts \"opened #{$opened}\\n\"") == 1)

local function refused(name, ...)
  local ok, count, notice = pcall(members[name], ...)
  return ok and count == 0 and notice == nil
end

-- Lua 5.1 runs __gc only for userdata; this one is collected when the state closes.
finalized = newproxy(true)
getmetatable(finalized).__gc = function()
  local results = {
    refused("Initialize"),
    refused("Terminate"),
    refused("RunString", "$opened = 100"),
    refused("RunFile", "files/sets_global.rb"),
  }
  local all = results[1] and results[2] and results[3] and results[4]
  io.write(all and "every member refused at close\n" or "a member was not refused at close\n")
  io.flush()
end
