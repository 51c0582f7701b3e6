-- platform: unix
-- sanitizers: no leak check
-- What the interpreter keeps its signals for still works once the game has its own back.
assert(rb.Initialize() == 1)
-- SIGCHLD wakes its waits for children.
assert(rb.RunString([[puts `echo backticks`; system("true"); puts "system #{$?.exitstatus}\n"]]) == 1)
assert(rb.RunString([[pid = spawn("sleep 0.1"); Process.wait(pid); puts "waited #{$?.exitstatus}\n"]]) == 1)
assert(rb.RunString([[puts Thread.new { `echo from a thread` }.value]]) == 1)
-- A child that ends while the game runs Lua is reaped by the next call.
assert(rb.RunString([[$late = spawn("true")]]) == 1)
os.execute("sleep 0.2")
assert(rb.RunString([[Process.wait($late); puts "late #{$?.exitstatus}\n"]]) == 1)
-- A write to a closed pipe fails with EPIPE instead of ending the game.
assert(rb.RunString([[
  begin
    IO.popen("true", "w") { |io| sleep 0.2; io.write("x" * 100_000) }
  rescue Errno::EPIPE => e
    puts "#{e.class}\n"
  end
]]) == 1)
-- An overflow of the machine stack is a SystemStackError.
assert(rb.RunString([[
  nested = []
  200_000.times { nested = [nested] }
  begin
    nested.inspect
  rescue SystemStackError => e
    puts "#{e.class}\n"
  end
]]) == 1)
assert(rb.Terminate() == 1)
