-- platform: unix
-- A child forked by Ruby code ends where its evaluation ends, as a standalone
-- Ruby child does, and never runs the rest of the game: the parent sees the
-- status of its exit, 1 after an uncaught exception, 0 at the end of the
-- text, and its at_exit blocks run. What the game had buffered on its
-- standard output before a fork is written once.
local function wrote(text)
  io.write(text)  -- buffered: standard output is a file here
end

wrote("game: before the forks\n")
assert(rb.Initialize() == 1)
assert(rb.RunString([[
  pid = fork
  exit 3 if pid.nil?
  Process.wait(pid)
  raise "exit status #{$?.exitstatus}" unless $?.exitstatus == 3
]]) == 1)
wrote("game: after exit 3\n")
assert(rb.RunString([[
  pid = fork
  if pid.nil?
    at_exit { $stdout.write "child: at_exit after the exception\n" }
    raise "uncaught in the child"
  end
  Process.wait(pid)
  puts "raised: #{$?.exitstatus}\n"
]]) == 1)
wrote("game: after the exception\n")
assert(rb.RunString([[
  pid = fork
  if pid.nil?
    at_exit { $stdout.write "child: at_exit at the end\n" }
    $stdout.write "child: reached the end\n"
  else
    Process.wait(pid)
    puts "ended: #{$?.exitstatus}\n"
  end
]]) == 1)
wrote("game: after the end\n")
assert(rb.RunString([[
  io = IO.popen("-")
  if io.nil?
    $stdout.write "written by the popen child"
  else
    puts "popen read: #{io.read}\n"
    io.close
    puts "popen status: #{$?.exitstatus}\n"
  end
]]) == 1)
wrote("game: after popen\n")
assert(rb.RunString([[
  pid = fork { $stdout.write "child: block\n"; exit 4 }
  Process.wait(pid)
  puts "block: #{$?.exitstatus}\n"
  pid = fork { exit! 5 }
  Process.wait(pid)
  puts "exit!: #{$?.exitstatus}\n"
  pid = fork { abort }
  Process.wait(pid)
  puts "abort: #{$?.exitstatus}\n"
]]) == 1)
-- A child that a signal ends is ended by it, as Ruby ends one.
assert(rb.RunString([[
  pid = fork
  if pid.nil?
    Process.kill(:TERM, Process.pid)
    sleep 10
  end
  Process.wait(pid)
  puts "signal: #{$?.termsig == Signal.list["TERM"]}\n"
]]) == 1)
wrote("game: the end\n")
