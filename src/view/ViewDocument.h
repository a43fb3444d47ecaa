// The documents the preview writes: a picture as a standalone SVG file, and a page that shows a
// plot and its converted output side by side at the same scale with a summary beneath.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "view/Palette.h"
#include "view/SvgCanvas.h"

// The part of the plane a picture shows, in SVG user units: database units with y turned.
struct ViewBox {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// The extent (database units, y up) with a margin of a fiftieth of its larger side around it;
// an empty extent, or one of a single point, shows 10 mm around its place.
ViewBox viewBoxAround(const Extent& extent);

// The width of a line of width 0 in the picture: a thousandth of the larger side of the box,
// about one pixel when that side is shown 1000 pixels long.
double hairlineOf(const ViewBox& box);

// Appends a whole <svg> element that shows the canvas within the box on the background, its
// larger side pixelSize pixels long. attributes go into the start tag as given (an id). The
// canvas's elements are handed over: large pictures are not held twice.
void appendSvg(std::string& out, SvgCanvas& canvas, const ViewBox& box, Rgb background,
               int pixelSize, std::string_view attributes = {});

// A standalone SVG file of the canvas, showing everything it drew (its elements handed over).
std::string standaloneSvg(SvgCanvas& canvas, Rgb background);

// The side-by-side page.
struct ComparisonPage {
    std::string title;
    std::string plotSvg;  // an <svg> element each, sharing one view box
    std::string outputSvg;
    // Rows of the summary table: what, plot, output.
    std::vector<std::array<std::string, 3>> rows;
    // Lines the reader should not miss, each a sentence.
    std::vector<std::string> notes;
};

// The page as one self-contained HTML file: the two pictures side by side at the top, each half
// the width of the page, then the notes and the summary table.
std::string comparisonHtml(const ComparisonPage& page);

// A length in database units as millimetres ("12.5 mm"), or metres from 10 m on ("12.3 m").
std::string lengthText(std::int64_t units);
// "x1 to x2, y1 to y2 (w × h)" in millimetres, or "nothing drawn".
std::string extentText(const Extent& extent);
