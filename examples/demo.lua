-- A game script that uses Ruby through kestrel. Run from this folder:
--   ../build-demo/kestrel-host demo.lua   (what tools/demo.sh builds and runs)

-- Until rb.Initialize, Ruby's puts writes to the process's standard output.
rb.RunString('puts "(this line went to standard output, not the console)"')

-- From now on puts writes to the engine console, exactly the String's bytes.
rb.Initialize()
rb.RunString([[
  greeting = "Hello from Ruby #{RUBY_VERSION}"
  puts greeting + "\n"
  puts "Lucky numbers: #{(1..50).select { |n| n % 7 == 0 }.join(', ')}\n"
]])

-- An exception never reaches the game: its message goes to the console and the
-- script gets a short notice (the stand-in host raises it as a Lua error).
local ok, notice = pcall(rb.RunString, 'raise "the dragon escaped"')
print("RunString gave back: " .. tostring(ok) .. ", " .. notice)

-- Ruby source in a file, relative to the game's working directory.
rb.RunFile("scripts/hello.rb")
local loaded, missing = pcall(rb.RunFile, "scripts/missing.rb")
print("RunFile of a missing file gave back: " .. tostring(loaded) .. ", " .. missing)

-- Shut the interpreter down; later calls are refused, never a crash.
rb.Terminate()
print("after Terminate: " .. select(2, pcall(rb.RunString, "1")))
