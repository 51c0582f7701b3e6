-- host: --cycles 50
-- A game closes its state and unloads the module at every map change. Over 50 such cycles in one process, Ruby's state is carried: a counter, objects kept through collections, a thread made in the first cycle, and the puts bridge installed then.
if HOST_CYCLE == 1 then
  assert(rb.Initialize() == 1)
  assert(rb.RunString([[
    $requests = Thread::Queue.new
    $answers = Thread::Queue.new
    $worker = Thread.new { loop { $answers.push($requests.pop * 2) } }
  ]]) == 1)
elseif HOST_CYCLE == 2 then
  assert(rb.RunString("$kept = (1..2000).map { |i| 'k' * (i % 50) + i.to_s }") == 1)
end
assert(rb.RunString("$count = ($count || 0) + 1") == 1)
assert(rb.RunString("raise \"count #{$count}\" unless $count == " .. HOST_CYCLE) == 1)
assert(rb.RunString("GC.start") == 1)
assert(rb.RunString("$requests.push($count); raise 'worker' unless $answers.pop == 2 * $count && $worker.alive?") == 1)
if HOST_CYCLE >= 2 then
  assert(rb.RunString("raise 'kept' unless $kept.each.with_index(1).all? { |s, i| s == 'k' * (i % 50) + i.to_s }") == 1)
end
assert(rb.RunString("puts \"cycle #{$count}\\n\"") == 1)
