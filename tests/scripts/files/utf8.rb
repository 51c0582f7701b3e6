raise "length" unless "é".length == 1
raise "reverse" unless "日本".reverse == "本日"
$file_text = "héllo".upcase + " " + __ENCODING__.name + " " + __FILE__ + ":" + __LINE__.to_s
