gridTable 5 { 0 1 1 1.0 1.0 }
schSheetSizeTable 8 { 0 A4 0 0 297 210 100 A4 }
dateFormat : "YY/MM/DD YYYY %s %d"
timeFormat : "HH:MM:SS\nHH"
zoneStartTextX : ""
zoneStartTextY : "9"
zonePitchX : -5
zonePitchY : 1e9
zoneOffsetMode : CenterCross
