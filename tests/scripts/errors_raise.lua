-- The default host raises the notice as a Lua error once the member has returned.
local ok, message = pcall(rb.RunString, "raise 'x'")
assert(not ok)
assert(message == "RunString failed, check console for details.\n", message)
assert(rb.RunString("1") == 1)
