-- host: --no-interface
-- Without a script interface there is no table, but the banner and the interpreter come all the same.
assert(rb == nil)
