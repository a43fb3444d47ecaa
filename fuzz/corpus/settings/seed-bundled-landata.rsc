# landata.rsc - database settings of the installation
#
# These settings give every drawing object its colour, line width, line style, fill style
# and font when the object asks for "the default", and they are the tables that the indices
# stored in sheet and symbol files point into.  A design can carry its own copy: the
# circuit's "rcpath" file names the directory that holds it.
#
# How to write this file:
#   - "#" starts a comment that runs to the end of the line.
#   - A setting is    key : value
#     Put a value in double quotes when it holds blanks or one of  { } ( ) : #
#   - A table is      key columns { rows }
#     "columns" must be exactly the number given for the table below (the row index
#     counts as a column).  Each row starts with its index, 0, 1, 2 ...; rows may come in
#     any order, and a later row with the same index replaces the earlier one.
#   - A line that ends in a backslash continues on the next line.
#   - Numbers that count or index something must not be negative: a negative number makes
#     the whole file unreadable, and the converter then stops with a message naming it.
#
# Lengths in the line width, line style, fill style and text tables are database units:
# a thousandth of a millimetre (1000 = 1 mm).

# ---------------------------------------------------------------------------------------
# Colours: index, red, green, blue (0-255), name.  Colour indices in files and in the
# defaults below must be smaller than the number of rows.

colorTable 5 {
    0     0    0    0  black
    1   255  255  255  white
    2   255    0    0  red
    3     0  255    0  green
    4     0    0  255  blue
    5   255  255    0  yellow
    6     0  255  255  cyan
    7   255    0  255  magenta
    8   128  128  128  gray
    9   192  192  192  lightGray
   10   128    0    0  darkRed
   11     0  128    0  darkGreen
   12     0    0  128  darkBlue
   13   128  128    0  olive
   14     0  128  128  teal
   15   128    0  128  purple
}

# ---------------------------------------------------------------------------------------
# Line widths: index, width.  Width 0 draws the thinnest line the output device has.

lineWidth 2 {
    0     0
    1   100     # 0.10 mm
    2   180     # 0.18 mm
    3   250     # 0.25 mm
    4   350     # 0.35 mm
    5   500     # 0.50 mm
    6   700     # 0.70 mm
    7  1000     # 1.00 mm
}

# ---------------------------------------------------------------------------------------
# Line styles: index, dash, gap, dash, gap.  0 0 0 0 is a solid line; style 0 should stay
# solid, objects use it when nothing else is asked for.

lineStyleTable 5 {
    0      0     0     0     0     # solid
    1   4000  2000  4000  2000     # dashed
    2    500  1000   500  1000     # dotted
    3   4000  1000   500  1000     # dash-dot
    4   8000  2000  8000  2000     # long dash
    5   8000  1000  2000  1000     # centre line
}

# ---------------------------------------------------------------------------------------
# Fill styles: index, kind (0 hollow, 1 solid, 2 hatched), hatch angle in degrees,
# hatch pitch.

fillStyleTable 4 {
    0   0     0     0     # hollow
    1   1     0     0     # solid
    2   2    45  1000     # hatched at 45 degrees, 1 mm apart
    3   2   135  1000     # hatched at 135 degrees
    4   2     0  1000     # horizontal hatch
    5   2    90  1000     # vertical hatch
}

# ---------------------------------------------------------------------------------------
# Text sizes (the font table): index, character width, character height, gap between
# characters, gap between lines.  A plotter label becomes a text of the row whose height
# is closest to the label's character height, so keep the rows ordered by height.

textTable 5 {
    0   1500   2000   300   1000    # 2 mm
    1   1875   2500   375   1250    # 2.5 mm
    2   2250   3000   450   1500    # 3 mm
    3   2625   3500   525   1750    # 3.5 mm
    4   3000   4000   600   2000    # 4 mm
    5   3750   5000   750   2500    # 5 mm
    6   4500   6000   900   3000    # 6 mm
    7   6000   8000  1200   4000    # 8 mm
    8   7500  10000  1500   5000    # 10 mm
}

# ---------------------------------------------------------------------------------------
# Precision: index, name, database units per millimetre, ratio of the unit to a
# millimetre.  precisionTblNo selects the row used to show coordinates.

precisionTable 4 {
    0   mm     1000   1.0
    1   inch   1000  25.4
}
precisionTblNo : 0

# ---------------------------------------------------------------------------------------
# Defaults.  An object whose attribute is "default" (written -1 in the files) takes these
# indices.  An index that is not smaller than the size of its table counts as 0.
# defaultCompColor is left out on purpose: components then keep the colours of their
# symbols.

defaultFrameColor      : 8
defaultNetColor        : 3
defaultBusColor        : 4
defaultLineColor       : 0
defaultCircleColor     : 0
defaultTextColor       : 0
defaultPropertyColor   : 12
defaultSymbSheetColor  : 9
defaultSchmSheetColor  : 9
defaultSymbFrameColor  : 13

defaultLineWidth       : 0
defaultFrameLineWidth  : 0
defaultNetLineWidth    : 1
defaultBusLineWidth    : 4
defaultCircleLineWidth : 0

defaultLineStyle       : 0
defaultFrameLineStyle  : 0
defaultNetLineStyle    : 0
defaultBusLineStyle    : 0
defaultCircleLineStyle : 0

defaultFillStyle       : 0
defaultCircleFillStyle : 0

defaultTextFont        : 4
defaultPropertyFont    : 1

# ---------------------------------------------------------------------------------------
# Characters used to build names: negative logic (~RESET~), buses (DATA[0:7;2]).

nlogicStartChar : ~
nlogicEndChar   : ~
busStartChar    : [
busEndChar      : ]
bitEndChar      : ","
rangeEndChar    : \:
rangeStepChar   : ;

# Size of a connection dot and radius of rounded wire corners, in millimetres.
nodeSize     : 1.0
cornerRadius : 0.0

# ---------------------------------------------------------------------------------------
# Save stamps.  Sheet and symbol files record who saved them and when.  The patterns
# below are commented out so that the environment variables QRX_DATE_FORMAT and
# QRX_TIME_FORMAT can choose them; a pattern set here wins over the variables.
# YYYY: four-digit year, YY: two-digit year, MM: month, DD: day;
# HH: hour, MM: minute, SS: second.
#
# dateFormat : "YYYY/MM/DD"
# timeFormat : "HH:MM:SS"

# ---------------------------------------------------------------------------------------
# Further preferences of the schematic editor (the converter reads them and keeps them
# unchanged).

sheetNetErrorLevel       : Soft
propDispNum              : 4
vmarkFlag                : Off
vmarkStr                 : "*"
noMountAliasName         : "NC"
noMountDispStyle         : 0
busNSimpleDispFlag       : Off
useBusAliasFlag          : Off
createNetLabelFromDefRef : Off
simpleArray              : Off
