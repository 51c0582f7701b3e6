-- host: --errors unwind
-- This host unwinds from ReportError at once, through the module, as a
-- C-compiled Lua does. The interpreter must come out of it whole.
for i = 1, 50 do
  local ok, message = pcall(rb.RunString, "raise 'unwound'")
  assert(not ok)
  assert(message == "RunString failed, check console for details.\n", message)
  assert(rb.RunString("a = Array.new(1000) { |i| 'x' * i }; GC.start; raise 'lost' unless a.size == 1000") == 1)
end
