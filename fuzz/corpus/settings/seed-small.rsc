colorTable 5 { 0 0 0 0 black 1 255 0 0 "light red" }
lineWidth 2 { 0 0 1 35 }
textTable 5 { 0 1 2000 0 0 1 2 3000 100 200 }
defaultLineColor : 1
gridTable 5 { 0 1 1 1.0 1.0 }
symSheetSizeTable 6 { 0 A4 0 0 297 210 }
schSheetSizeTable 8 { 0 A4 0 0 297 210 100 A4 }
zonePitchX : 50
zoneStartTextX : A
zoneOrigin : UpRight
dateFormat : "DD.MM.YYYY"
timeFormat : HH:MM
