-- STDOUT itself is flushed after each evaluation: nothing is lost when the game exits without Terminate.
assert(rb.RunString([[$stdout = $stderr; STDOUT.print "written to STDOUT while $stdout is $stderr\n"]]) == 1)
assert(rb.RunString([[$stdout = Object.new.tap { |o| def o.write(*) = 0 }; STDOUT.print "and while $stdout is no IO at all\n"]]) == 1)
assert(not pcall(rb.RunString, [[STDOUT.print "and after a failure\n"; raise "failed"]]))
