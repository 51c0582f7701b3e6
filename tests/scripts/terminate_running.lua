-- Terminate with Ruby still running: Threads and Ractors are stopped first, the count is 1, the game goes on.
-- sanitizers: no leak check
assert(rb.Initialize() == 1)
assert(rb.RunString([[
  Ractor.new { 1 }
  $spinning = Ractor.new { loop { } }
  Thread.new { sleep }
  $reader, $writer = IO.pipe
  Thread.new { $reader.read }
  at_exit { puts "at_exit ran\n" }
]]) == 1)
assert(rb.RunString([[at_exit { raise "an at_exit block failed" }]]) == 1)
assert(rb.Terminate() == 1)
assert(rb.Terminate() == 1)
local start = os.clock()
while os.clock() - start < 0.3 do end
print("the game goes on")
