-- The interpreter starts with its whole core and nothing more: no load path, no rubygems.
assert(rb.RunString([[
  raise 'Time.now' unless Time.now.is_a?(Time)
  raise 'pack' unless [65].pack('C') == 'A'
  raise 'GC.start' unless GC.respond_to?(:start) && GC.start.nil?
  raise 'frozen?' unless 'x'.frozen? == false
  raise 'then' unless 1.then { |v| v + 1 } == 2
  raise 'load path' unless $LOAD_PATH.empty?
  raise 'rubygems' if defined?(Gem)
  begin
    require 'set'
    raise 'required set'
  rescue LoadError
  end
]]) == 1)
