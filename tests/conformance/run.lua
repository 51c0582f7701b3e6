-- Runs one of Ruby's test files inside kestrel through rb.RunString, with
-- tests/conformance/driver.rb, or Ruby's basictest through rb.RunFile.
-- tools/conformance.sh sets these globals with -e before it runs this file:
--   DRIVER, SOURCE, RESULTS, TEST_FILE, LOAD_PATH, OPTIONS (a list)  for a test file
--   BASICTEST                                                        for basictest/test.rb
--   INITIALIZE                                                       true to call rb.Initialize() first

local function quoted(text)
  return "'" .. text:gsub("\\", "\\\\"):gsub("'", "\\'") .. "'"
end

if INITIALIZE then
  assert(rb.Initialize() == 1, "rb.Initialize failed")
end

local count
if BASICTEST then
  count = rb.RunFile(BASICTEST)
else
  local words = {quoted(SOURCE), quoted(RESULTS), quoted(TEST_FILE), quoted(LOAD_PATH)}
  for _, option in ipairs(OPTIONS) do
    words[#words + 1] = quoted(option)
  end
  count = rb.RunString("ARGV.replace([" .. table.concat(words, ", ") .. "])\nload " .. quoted(DRIVER))
end
rb.Terminate()
io.stdout:write("kestrel: the evaluation gave ", tostring(count), "\n")
