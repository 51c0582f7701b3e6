-- host: --errors return
-- A call without text is stopped by the host's check before anything runs.
local function rejected(value, seen)
  local ok, message = pcall(rb.RunString, value)
  assert(not ok)
  assert(message == "bad argument #1 to 'RunString' (string expected, got " .. seen .. ")", message)
end

rejected(nil, "nil")
rejected(42, "number")
rejected({}, "table")
local ok, message = pcall(rb.RunString)
assert(not ok and message == "bad argument #1 to 'RunString' (string expected, got no value)", message)
assert(rb.RunString("1") == 1)
