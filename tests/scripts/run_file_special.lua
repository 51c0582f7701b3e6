-- host: --errors return
-- platform: unix
-- Paths that would hang or mislead a plain read: a FIFO would block the open
-- until a writer came, so it is refused unopened; a 3 GiB file's length does
-- not fit a signed 32-bit size, so nothing is allocated or read for it.
local notice = "RunFile failed, check console for details.\n"
assert(os.execute("mkfifo fifo.rb") == 0)
local count, got = rb.RunFile("fifo.rb")
assert(count == 1 and got == notice)

assert(os.execute("truncate -s 3G huge.rb") == 0)  -- sparse: takes no room
count, got = rb.RunFile("huge.rb")
assert(count == 1 and got == notice)
