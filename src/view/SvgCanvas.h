// The drawing surface of the preview: writes SVG elements for paths with true arcs, polygons
// with holes, circles and stroked texts straight into one growing text, in database units with
// the y axis turned (database y points up, SVG y down), and keeps the extent of what it drew.
// Consecutive elements of the same paint share one group that carries the paint.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "geom/QsPoint.h"
#include "view/Palette.h"

class QsArc;
class QsBox;
class QsPolyline;
class QsPolylineSet;
class QsRecordFigure;
class QsText;

// A box in database units (y up), grown point by point; 64-bit, so moved figures never wrap.
struct Extent {
    std::int64_t xmin = std::numeric_limits<std::int64_t>::max();
    std::int64_t ymin = std::numeric_limits<std::int64_t>::max();
    std::int64_t xmax = std::numeric_limits<std::int64_t>::min();
    std::int64_t ymax = std::numeric_limits<std::int64_t>::min();

    bool empty() const { return xmin > xmax || ymin > ymax; }
    void add(std::int64_t x, std::int64_t y);
    void add(const Extent& other);
    std::int64_t width() const { return empty() ? 0 : xmax - xmin; }
    std::int64_t height() const { return empty() ? 0 : ymax - ymin; }
};

enum class FillKind { None, Solid, Hatch };

// How an element is painted. A width of 0 is the picture's hairline; dash lengths are in
// database units (dash, gap, dash, gap; all 0 is a solid line).
struct Paint {
    Rgb stroke;
    std::int32_t width = 0;
    std::array<std::int32_t, 4> dash{};
    FillKind fill = FillKind::None;
    double hatchAngle = 0.0;  // degrees, counter-clockwise
    std::int32_t hatchPitch = 0;

    friend bool operator==(const Paint&, const Paint&) = default;
};

class SvgCanvas {
public:
    // idPrefix keeps the ids of the canvas's patterns apart from those of other pictures of the
    // same page; everything drawn is moved by (dx, dy).
    explicit SvgCanvas(std::string idPrefix = "v", std::int64_t dx = 0, std::int64_t dy = 0);

    // The paint of the elements that follow.
    void setPaint(const Paint& paint);

    // The records as one path: vertices joined by straight segments, arcs as arcs (a full
    // circle as two half turns), closed when asked. Records of other kinds are left out.
    void path(const QsRecordFigure& records, bool closed = false);
    // An outline and its holes as one closed path; the picture fills it even-odd.
    void polygon(const QsRecordFigure& outline, const std::vector<QsPolylineSet>& holes);
    void arc(const QsArc& arc);
    void circle(const QsPoint& centre, std::int32_t radius);
    // A closed outline through the points.
    void outline(const QsPoint* points, int count);
    // The strokes of one text as one path, in a group titled with the string.
    void text(std::string_view string, const std::vector<QsPolyline>& strokes);
    // Dots at the grid points of the area (every pitch, coarsened by powers of two until at most
    // 200 lie across either side).
    void grid(const QsBox& area, std::int32_t pitchX, std::int32_t pitchY, Rgb colour);

    // Counts the box in the extent without drawing it.
    void include(const QsBox& box);
    const Extent& extent() const { return extent_; }

    // Hands over the elements drawn so far (the open group closed); the canvas keeps its extent
    // and patterns but no elements.
    std::string takeBody();
    // The size of the elements drawn so far.
    std::size_t bodySize() const { return body_.size(); }
    // The patterns the elements refer to, for a picture whose hairline is the given width.
    std::string definitions(double hairline) const;

private:
    struct Hatch {
        double angle;
        std::int32_t pitch;
        Rgb colour;
    };
    struct GridDots {
        std::int64_t pitchX;
        std::int64_t pitchY;
        Rgb colour;
    };

    void closeGroup();
    // Appends a point of database coordinates, moved and turned, after a separator.
    void point(std::int64_t x, std::int64_t y);
    void number(std::int64_t v);
    void command(char c);
    void moveOrLine(std::int64_t x, std::int64_t y);
    void arcTo(const QsArc& arc);
    void records(const QsRecordFigure& records, bool closed);
    // Ends the open subpath (closed with Z when asked).
    void endSubpath(bool closed);
    std::size_t hatchIndex(const Paint& paint);

    std::string prefix_;
    std::int64_t dx_;
    std::int64_t dy_;
    std::string body_;
    Extent extent_;
    Paint paint_;
    bool groupOpen_ = false;
    // Path state: whether a subpath is open, its current point and the last command letter.
    bool subpath_ = false;
    std::int64_t curX_ = 0;
    std::int64_t curY_ = 0;
    char last_ = 0;
    std::vector<Hatch> hatches_;
    std::vector<GridDots> grids_;
};

// Draws the text in the paint set last, with the stroke fonts of the installation, as one text
// element titled with the string; a text whose font cannot be found is drawn as the outline of
// its box, a text without string not at all.
void drawStrokedText(const QsText& text, std::string_view string, SvgCanvas& canvas);

// Appends text with the characters that XML reserves escaped: well-formed UTF-8 is kept, control
// bytes (which XML cannot hold) become "?", and other bytes from 128 on are taken as Latin-1
// characters (texts in other character sets show as such, never as broken XML).
void appendXmlText(std::string& out, std::string_view text);
// Appends a number with at most six significant digits.
void appendDecimal(std::string& out, double value);
