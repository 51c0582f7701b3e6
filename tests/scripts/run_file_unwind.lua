-- host: --errors unwind
-- This host unwinds from ReportError at once. File failures are reported after
-- the interpreter's protection has ended, so it comes out of them whole.
local notice = "RunFile failed, check console for details.\n"
for i = 1, 20 do
  for _, path in ipairs({ "does/not/exist.rb", "files/empty.rb", "files/raises.rb" }) do
    local ok, message = pcall(rb.RunFile, path)
    assert(not ok and message == notice, path)
  end
  assert(rb.RunString("a = Array.new(1000) { |i| 'x' * i }; GC.start; raise 'lost' unless a.size == 1000") == 1)
end
assert(rb.RunFile("files/sets_global.rb") == 1)
