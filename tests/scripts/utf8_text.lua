-- host: --errors return
-- Source text from RunString and RunFile is UTF-8 unless a magic comment says
-- otherwise, and text read from files is UTF-8 too, whatever the locale.
assert(rb.Initialize() == 1)
assert(rb.RunString([[
  raise 'length' unless "é".length == 1
  raise 'upcase' unless "héllo".upcase == "HÉLLO"
  raise 'reverse' unless "日本".reverse == "本日"
  raise 'source' unless __ENCODING__ == Encoding::UTF_8 && "x".encoding == Encoding::UTF_8
  raise 'external' unless Encoding.default_external == Encoding::UTF_8
  raise 'internal' unless Encoding.default_internal.nil?
  data = File.read("files/utf8_data.txt")
  raise 'read' unless data.encoding == Encoding::UTF_8 && data =~ /é/ && data.length == 8
  raise 'joined' unless ("é" + File.read("files/utf8_data.txt", encoding: "UTF-8")).valid_encoding?
  raise 'symbol' unless :"ü".to_s.encoding == Encoding::UTF_8
]]) == 1)
-- What puts writes reaches the console byte for byte.
assert(rb.RunString([[puts "héllo wörld, 日本\n"]]) == 1)
assert(rb.RunString([[puts "é".bytes.inspect + " " + "é".inspect + "\n"]]) == 1)
-- A magic comment on the first line still chooses the source's encoding.
assert(rb.RunString("# encoding: iso-8859-1\nputs __ENCODING__.name + ' ' + \"\\xE9\".encoding.name + \"\\n\"") == 1)
assert(rb.RunString("# frozen_string_literal: true\nputs 'x'.frozen?.to_s + ' ' + __ENCODING__.name + \"\\n\"") == 1)
-- A file is UTF-8 too, still evaluated as text named eval with its own line numbers.
assert(rb.RunFile("files/utf8.rb") == 1)
assert(rb.RunString([[puts $file_text + "\n"]]) == 1)
assert(rb.RunFile("files/latin1.rb") == 1)
assert(rb.RunString([[puts $latin1.encoding.name + " " + $latin1.encode("UTF-8") + "\n"]]) == 1)
-- A file may start with a byte order mark, as editors on Windows write them.
assert(rb.RunFile("files/bom.rb") == 1)
assert(rb.RunString([[puts "after a byte order mark: " + $bom + "\n"]]) == 1)
-- Line numbers in messages are those of the text; bytes that are not UTF-8
-- are refused as Ruby refuses them in a UTF-8 file.
assert(rb.RunString("x = 1\n\nraise \"line #{__LINE__}: é\"") == 0)
assert(rb.RunString("x = 1\ny = (\n") == 0)
assert(rb.RunString("s = '\233'") == 0)
assert(rb.RunString("s = \"\\xE9\"; raise 'escaped bytes' unless s.encoding == Encoding::UTF_8 && !s.valid_encoding?") == 1)
