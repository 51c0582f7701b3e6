$bom = __ENCODING__.name + " " + __LINE__.to_s
