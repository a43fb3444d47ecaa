# lanenv.rsc - environment settings of the installation
#
# These settings shape new sheets and symbols (their size, grid and zones) and hold the
# preferences of the schematic editor.  A design can carry its own copy: the circuit's
# "rcpath" file names the directory that holds it.
#
# How to write this file:
#   - "#" starts a comment that runs to the end of the line.
#   - A setting is    key : value
#     Put a value in double quotes when it holds blanks or one of  { } ( ) : #
#   - A table is      key columns { rows }
#     "columns" must be exactly the number given for the table below (the row index
#     counts as a column).  Each row starts with its index, 0, 1, 2 ...
#   - A line that ends in a backslash continues on the next line.
#   - On/Off switches take On or Off in any letter case.
#
# Lengths here are millimetres.

# ---------------------------------------------------------------------------------------
# Grids: index, two display multiples (every n-th grid point is marked, in x and in y),
# pitch x, pitch y.  Row 0 is the grid of a new sheet or symbol; without any row no grid
# and no zone are made, and the converter cannot set up a new output.

gridTable 5 {
    0   1  1   1.0    1.0
    1   1  1   2.54   2.54
    2   1  1   0.5    0.5
    3   2  2   5.0    5.0
}
gridColor : 8

# ---------------------------------------------------------------------------------------
# Sheet sizes: index, name, then the lower left (x1, y1) and upper right (x2, y2) corners
# of the sheet.  Row 0 is the size of a new symbol or sheet.  Schematic sheets carry two
# more values: the print scale in percent and the name of the paper they are printed on.

symSheetSizeTable 6 {
    0   A4   0  0  297  210
    1   A3   0  0  420  297
    2   A5   0  0  210  148
}

schSheetSizeTable 8 {
    0   A4   0  0  297  210  100  A4
    1   A3   0  0  420  297  100  A3
    2   A2   0  0  594  420  100  A2
    3   A1   0  0  841  594  100  A1
    4   "A3 on A4"  0  0  420  297  70  A4
}

# Extra attributes of schematic sheets: index, name, value.
schSheetAttrTable 3 {
    0   company  ""
    1   project  ""
}

# Colours (indices into colorTable of landata.rsc) of the sheet outline.
symSheetSizeColor : 9
schSheetSizeColor : 9

# ---------------------------------------------------------------------------------------
# Zones: the border grid of a sheet (columns 1, 2, 3 ... and rows A, B, C ...).
# zoneOrigin: the corner where counting starts, DownLeft, DownRight, UpLeft or UpRight.
# zoneOffsetMode: Off, CenterEnd or CenterCross.  A pitch that is not positive counts as
# 1 mm.

zonePitchX      : 50.0
zonePitchY      : 50.0
zoneStartTextX  : 1
zoneStartTextY  : A
zoneOrigin      : UpLeft
zoneDispFlag    : Off
zoneOffsetX     : 0.0
zoneOffsetY     : 0.0
zoneOffsetMode  : Off

# ---------------------------------------------------------------------------------------
# Editor preferences (the converter reads them and keeps them unchanged).
# Justifications: lowerLeft, lowerCenter, lowerRight, centerLeft, centerCenter,
# centerRight, upperLeft, upperCenter, upperRight.

textJustify       : lowerLeft
textAngle         : 0
pvJustify         : centerLeft
pvAngle           : 0
pvDispMode        : 0
pvOffsetFromObjX  : 0.0
pvOffsetFromObjY  : 0.0

inputGrid         : 1.0
echoGrid          : 1.0
gridHighlightColor : 1
symSheetDispFlag  : On
schSheetDispFlag  : On

panRatio          : 0.5
zoomRatio         : 2.0
adjustRatio       : 0.9
rotateRatio       : 90
cursorType        : 0
cursorColor       : 1
dynamicScroll     : On
dynPanFlag        : Off

lineInputMode     : 0
lineTheta         : 45
circleInputMode   : 0
circleRadius      : 2.5
roundRectCornerRadius : 1.0
netInputMode      : 0
netTheta          : 90
busInputMode      : 0

undoLimit         : 50
backupTime        : 10
logfile           : "qrx.log"

sPinDispFlag      : On
compIDDispFlag    : Off
netIDDispFlag     : Off
openCheckMarkFlag : On
openCheckMarkColor : 2
measureColor      : 5
measureDisp       : On

zipText           : Off
doNotSelectUnvisiblePbox : Off
