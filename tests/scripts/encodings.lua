-- host: --errors return
-- Every encoding and converter of the interpreter works, loaded the first time
-- it is needed, while the load path stays empty and the standard library stays
-- out of reach. A warning (such as "failed to load encoding") would fail the test.
assert(rb.Initialize() == 1)
assert(rb.RunString([[
  module Warning
    def self.warn(message) raise "warned: #{message}" end
  end
]]) == 1)
assert(rb.RunString([[
  utf16 = "abc".encode("UTF-16LE")
  raise 'UTF-16LE' unless utf16.bytesize == 6 && utf16.bytes == [97, 0, 98, 0, 99, 0]
  raise 'UTF-16LE name' unless utf16.encoding == Encoding::UTF_16LE
  raise 'ISO-8859-1' unless "é".encode("ISO-8859-1").bytes == [0xE9]
  raise 'from ISO-8859-1' unless "\xE9".force_encoding("ISO-8859-1").encode("UTF-8") == "é"
]]) == 1)
assert(rb.RunString([[
  {"EUC-JP" => [0xC6, 0xFC], "Shift_JIS" => [0x93, 0xFA], "UTF-32BE" => [0, 0, 0x65, 0xE5],
   "Windows-1252" => nil, "GB18030" => [0xC8, 0xD5], "Big5" => [0xA4, 0xE9]}.each do |name, bytes|
    next if bytes.nil?
    encoded = "日".encode(name)
    raise "#{name}: #{encoded.bytes}" unless encoded.bytes == bytes
    raise "#{name} back" unless encoded.encode("UTF-8") == "日"
  end
  raise 'Windows-1252' unless "€".encode("Windows-1252").bytes == [0x80]
  raise 'dummy' if Encoding::UTF_16LE.dummy?
  raise 'replicated' unless Encoding.find("CP1252") == Encoding::Windows_1252
  raise 'undefined' unless (begin; "日".encode("ISO-8859-1"); rescue Encoding::UndefinedConversionError; :refused; end) == :refused
]]) == 1)
-- Every encoding the interpreter names can be loaded (one that cannot be
-- warns) and used.
assert(rb.RunString([[
  Encoding.name_list.each { |name| Encoding.find(name) }
  broken = Encoding.list.select { |e| e.ascii_compatible? && !"a".force_encoding(e).valid_encoding? }
  raise "unusable: #{broken}" unless broken.empty?
  puts "every encoding loads\n"
]]) == 1)
assert(rb.RunString([[
  raise 'load path' unless $LOAD_PATH.empty?
  begin
    require 'set'
    raise 'required set'
  rescue LoadError => e
    puts e.message + "\n"
  end
]]) == 1)
