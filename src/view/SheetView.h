// Drawing a symbol or sheet as the schematic system shows it: the sheet area, the grid when
// asked, and every visible arc, circle, polygon, polyline and text with the colour, line width,
// line style and fill style that its indices select in the settings.
#pragma once

#include "view/Palette.h"

class DatabaseSettings;
class LexDatabase;
class LexSheet;
class SvgCanvas;
struct Paint;

// What the sheet holds, counted as it is drawn.
struct SheetCounts {
    long polylines = 0;
    long polygons = 0;
    long filledPolygons = 0;  // polygons among them with the filled flag
    long texts = 0;
    long arcs = 0;
    long circles = 0;
    long frames = 0;
    long hidden = 0;    // objects whose visible flag is off: counted, not drawn
    long notShown = 0;  // components, pins and nets, which the preview does not draw
    long unseen = 0;    // drawn in the sheet's own colour, so they cannot be seen on it

    long drawn() const { return polylines + polygons + texts + arcs + circles + frames; }
};

// The paint of a line of the colour, width and line-style indices: the width of the settings'
// width table (0, the hairline, for a row it does not define) and the dash and gap lengths of
// its line-style table (solid for a row outside it).
Paint linePaint(const DatabaseSettings* settings, int colour, int width, int style);
// The same with the fill of the fill-style index when filled: hollow, solid, or hatched at the
// row's angle and pitch (solid for a row outside the table or a pitch that is not positive).
Paint areaPaint(const DatabaseSettings* settings, int colour, int width, int style, bool filled,
                int fillStyle);

// The colour the sheet is drawn on: its own colour index (or the settings' default).
Rgb sheetBackground(const LexSheet& sheet, const DatabaseSettings* settings);

// Draws the "Sheet" of the database onto the canvas; with grid, also the dots of the database's
// "Grid" over the sheet area. Texts are drawn with the stroke fonts of the installation; a text
// whose font cannot be found is drawn as the outline of its box.
SheetCounts drawSheet(const LexDatabase& database, const DatabaseSettings* settings, bool grid,
                      SvgCanvas& canvas);
