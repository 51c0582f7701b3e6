-- host variants: --cycles 4 --errors return | --cycles 4 --errors raise | --cycles 4 --errors unwind
-- The interpreter terminated in cycle 2 stays terminated: later cycles open the module and write the banner, and every member but Terminate is refused.
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

if HOST_CYCLE <= 2 then
  assert(rb.Initialize() == 1)
  assert(rb.RunString("$ran = ($ran || 0) + 1; puts \"ruby ran #{$ran}\\n\"") == 1)
end
if HOST_CYCLE == 2 then
  assert(rb.Terminate() == 1)
end
if HOST_CYCLE > 2 then
  refused("Initialize")
  refused("RunString", "puts 'not run'")
  refused("RunFile", "files/hello.rb")
  assert(rb.Terminate() == 1)
end
