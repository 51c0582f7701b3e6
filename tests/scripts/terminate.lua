-- host variants: --errors return | --errors raise | --errors unwind
-- After rb.Terminate every member but Terminate is refused, and the game lives on.
local mode = HOST_OPTIONS:match("%-%-errors (%a+)")

local function refused(name, ...)
  local ok, first, second = pcall(rb[name], ...)
  local notice = name .. " failed, check console for details.\n"
  if mode == "return" then
    assert(ok and first == 0 and second == notice, name)
  else
    assert(not ok and first == notice, name)
  end
end

assert(rb.Initialize() == 1)
assert(rb.RunString("print 'written before the end'") == 1)
assert(rb.Terminate() == 1)
assert(rb.Terminate() == 1)
refused("Initialize")
refused("RunString", "1")
refused("RunFile", "files/hello.rb")
collectgarbage()
