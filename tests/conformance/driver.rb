# Runs one of Ruby's own test files with Ruby's test framework and writes the
# outcome of each test, one "OUTCOME Class#test" line each (pass, skip, fail,
# error), to a file. The same driver runs under the standalone interpreter and
# inside kestrel, so that both sides run the same tests in the same order.
#
#   driver.rb RUBY-SOURCE RESULTS TEST-FILE LOAD-PATH [RUNNER-OPTIONS...]
#
# LOAD-PATH (directories joined with ":") is added when it is missing: the
# interpreter inside kestrel starts with an empty load path, and the framework
# needs the standard library.
source, results, test_file, load_path, *options = ARGV
load_path.split(":").reverse_each { |dir| $LOAD_PATH.unshift(dir) unless $LOAD_PATH.include?(dir) }
$LOAD_PATH.unshift(File.join(source, "tool/lib"), File.join(source, "test/lib"))

require "test/unit"

module Conformance
  RANK = %w[pass skip fail error].freeze
  OUTCOMES = {}

  def self.note(name, outcome)
    OUTCOMES[name] = outcome if RANK.index(outcome) > RANK.index(OUTCOMES.fetch(name, "pass"))
  end

  module Case
    def run(runner)
      Conformance::OUTCOMES["#{self.class}##{__name__}"] = "pass"
      super
    end
  end

  module Runner
    def puke(klass, meth, error)
      outcome = case error
                when Test::Unit::PendedError then "skip"
                when Test::Unit::AssertionFailedError then "fail"
                else "error"
                end
      Conformance.note("#{klass}##{meth}", outcome)
      super
    end
  end
end

Test::Unit::TestCase.prepend(Conformance::Case)
Test::Unit::Runner.prepend(Conformance::Runner)
Test::Unit::Runner.class_variable_set(:@@stop_auto_run, true)

# A forked child whose test lets an exception escape goes on running the
# suite, as it would standalone; only the process that started writes results.
started_in = Process.pid
begin
  load File.expand_path(test_file)
  Test::Unit::Runner.new.run(options)
ensure
  if Process.pid == started_in
    File.write(results, Conformance::OUTCOMES.map { |name, outcome| "#{outcome} #{name}\n" }.join)
  end
end
