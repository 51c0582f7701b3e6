# encoding: iso-8859-1
$latin1 = "é"
