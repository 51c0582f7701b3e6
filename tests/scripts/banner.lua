-- A normal opening: the banner, the table with its four members, and Ruby text that runs.
assert(type(rb) == "table")
local members = {}
for name, value in pairs(rb) do
  assert(type(value) == "function", name)
  members[#members + 1] = name
end
table.sort(members)
assert(table.concat(members, " ") == "Initialize RunFile RunString Terminate", table.concat(members, " "))
assert(rb.RunString("$x = 1 + 1") == 1)
assert(rb.RunString("raise 'x' unless $x == 2") == 1)
