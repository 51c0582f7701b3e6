-- host: --errors return
-- Texts are evaluated at the top level under the name "eval", by the
-- interpreter's own eval as it was at start: scripts that redefine or remove
-- eval and its relatives change nothing. The program is called "kestrel".
assert(rb.Initialize() == 1)
assert(rb.RunString([[puts "#{$0} #{$PROGRAM_NAME} #{__FILE__}:#{__LINE__}\n"]]) == 1)
assert(rb.RunString([[puts caller(0).inspect + "\n"]]) == 1)
assert(rb.RunString([[
  def top_level_method; end
  local = 1
  raise 'private' unless Object.private_method_defined?(:top_level_method)
  raise 'self' unless self.to_s == "main"
]]) == 1)
assert(rb.RunString([[raise 'locals belong to their text' if defined?(local)]]) == 1)
assert(rb.RunString([[
  module Kernel
    def eval(*) raise "Kernel#eval was called" end
    def instance_eval(*) raise "instance_eval was called" end
  end
  class Method
    def call(*) raise "Method#call was called" end
  end
  class Binding
    def eval(*) raise "Binding#eval was called" end
  end
  class BasicObject
    def instance_eval(*) ::Kernel.raise "BasicObject#instance_eval was called" end
  end
]]) == 1)
assert(rb.RunString([[puts "still evaluated at #{__FILE__}:#{__LINE__}\n"]]) == 1)
assert(rb.RunString([[Kernel.send(:remove_method, :eval); Kernel.singleton_class.send(:remove_method, :eval)]]) == 1)
assert(rb.RunFile("files/utf8.rb") == 1)
assert(rb.RunString("\n\nraise \"#{__FILE__}:#{__LINE__} after eval was removed\"") == 0)
