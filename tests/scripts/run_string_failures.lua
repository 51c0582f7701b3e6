-- host: --errors return
-- Each failure writes one error line to the console, hands the notice to the
-- script and gives 0; the interpreter runs on.
local notice = "RunString failed, check console for details.\n"

local function fails(source)
  local count, got = rb.RunString(source)
  assert(count == 0, source)
  assert(got == notice, source)
end

local function succeeds(source)
  local count, got = rb.RunString(source)
  assert(count == 1, source)
  assert(got == nil, source)
end

fails("raise 'boom'")
fails("raise ArgumentError")                           -- no message: the class name
fails("class QuietError < StandardError; end; raise QuietError")
fails("def (")                                         -- the compiler's message
fails("exit")
fails("exit 3")
fails("abort")
fails("throw :nowhere")
fails("raise 'percent %s %d %%'")
fails("raise \"two\\nlines\"")
-- An exception whose String form itself raises or exits.
fails("class Loud < StandardError; def to_s; raise 'again'; end; end; raise Loud")
fails("class Leaving < StandardError; def to_s; exit; end; end; raise Leaving")

succeeds("")
succeeds("$x = 6 * 7")
succeeds("raise 'lost' unless $x == 42")
succeeds("y = 1\0raise 'after the NUL'")                -- evaluated up to the NUL
-- The reported exception is let go: it neither stays in $! nor becomes the cause of the next.
succeeds("raise 'still set' unless $!.nil?")
succeeds("begin; raise 'inner'; rescue => e; raise 'chained' unless e.cause.nil?; end")
