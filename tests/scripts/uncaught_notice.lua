-- exit: 1
-- A notice that the script does not catch ends it like any Lua error; the host survives to report it.
rb.RunString("raise 'not caught'")
error("not reached")
