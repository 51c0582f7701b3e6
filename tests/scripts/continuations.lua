-- A continuation works inside the call that took it and raises when a later call uses it. (Unix: the Windows interpreter is built without continuation.so.)
-- platform: unix
-- sanitizers: skip
assert(rb.Initialize() == 1)
-- The empty load path does not stop a require by absolute path.
assert(rb.RunString([[
  require File.join(ENV["KESTREL_RUBY_ARCHDIR"], "continuation.so")
  $taken_at_load = callcc { |c| c }
]]) == 1)
assert(rb.RunString([[n = 0; k = callcc { |c| c }; n += 1; k.call(k) if n < 3; puts "looped #{n} times in one call\n"]]) == 1)
assert(rb.RunString([[$count = 0; $k = callcc { |c| c }; $count += 1]]) == 1)
local count = 0
for _, source in ipairs({"$k.call($k)", "$k[$k]", "$k.send(:call, 1)", "$k.method(:call).call",
                         "Continuation.instance_method(:call).bind_call($k)", "$taken_at_load.call"}) do
  count = count + 1
  assert(not pcall(rb.RunString, source), source)
end
assert(rb.RunString([[puts "the later calls ran nothing again: #{$count}\n"]]) == 1)
assert(rb.RunString([[
  begin
    $k.call
  rescue RuntimeError => e
    puts "rescued: #{e.message}\n"
  end
  k = callcc { |c| c }
  puts "still usable in its own call\n" if k.is_a?(Continuation)
  k.call(:done) if k.is_a?(Continuation)
]]) == 1)
print(count)
