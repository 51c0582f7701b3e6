-- host: --errors return
-- Initialize runs under protection: a Kernel it cannot change is reported, not a crash.
assert(rb.RunString("Kernel.freeze; Object.freeze") == 1)
local count, notice = rb.Initialize()
assert(count == 0, count)
assert(notice == "Initialize failed, check console for details.\n", notice)
assert(rb.RunString("raise 'gone' unless 2 + 2 == 4") == 1)
