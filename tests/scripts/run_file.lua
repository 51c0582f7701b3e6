-- host: --errors return
-- rb.RunFile evaluates a file's source; a file that cannot be opened or read
-- gets its own line and the notice but the count 1, a source that raises gives 0.
local notice = "RunFile failed, check console for details.\n"

local function runs(path)
  local count, got = rb.RunFile(path)
  assert(count == 1 and got == nil, path)
end

local function refused(path)
  local count, got = rb.RunFile(path)
  assert(count == 1 and got == notice, path)
end

local function raises(path)
  local count, got = rb.RunFile(path)
  assert(count == 0 and got == notice, path)
end

assert(rb.Initialize() == 1)
runs("files/hello.rb")
runs("./files/../files/sets_global.rb")
assert(rb.RunString("raise 'not run' unless $from_file == 42") == 1)
refused("does/not/exist.rb")
refused("does/not/%s%d%%.rb")
refused("files/empty.rb")
refused("files")                 -- a directory is no source file
raises("files/raises.rb")
raises("files/syntax.rb")
raises("files/exits.rb")
runs("files/zero_byte.rb")       -- evaluated up to the NUL byte
runs("files/crlf.rb")
-- The source is evaluated as text, under the interpreter's name for it and not the path.
runs("files/names_itself.rb")
assert(rb.RunString("raise $name_seen unless $name_seen == 'eval'") == 1)
