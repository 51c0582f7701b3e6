# Ruby source run by rb.RunFile.
class Quest
  attr_reader :name, :reward

  def initialize(name, reward)
    @name = name
    @reward = reward
  end
end

quests = [Quest.new("Find the lost sword", 120), Quest.new("Tame the kestrel", 300)]
quests.sort_by(&:reward).reverse_each do |quest|
  puts format("%-22s %4d gold\n", quest.name, quest.reward)
end
