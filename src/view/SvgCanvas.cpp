#include "view/SvgCanvas.h"

#include <array>
#include <charconv>
#include <cmath>
#include <numbers>

#include "base/StringUtil.h"
#include "font/TextDraw.h"
#include "geom/QsArc.h"
#include "geom/QsBox.h"
#include "geom/QsPolyline.h"
#include "geom/QsPolylineSet.h"
#include "geom/QsRecordFigure.h"
#include "geom/QsText.h"

namespace {

// Grid dots are coarsened until no more than this many lie across a side of the area.
constexpr std::int64_t kMaxGridDots = 200;
// Room reserved up front: large plots write megabytes, and growing from nothing would copy them
// again and again.
constexpr std::size_t kInitialBody = 1 << 20;

// The turn an arc sweeps, in (0, 2pi], from its start and end directions.
double sweepOf(const QsArc& arc) {
    constexpr double kTurn = 2.0 * std::numbers::pi;
    double sweep =
        arc.isClockwise() ? arc.startAngle() - arc.endAngle() : arc.endAngle() - arc.startAngle();
    while (sweep <= 0.0)
        sweep += kTurn;
    return sweep;
}

}  // namespace

void Extent::add(std::int64_t x, std::int64_t y) {
    if (x < xmin) xmin = x;
    if (x > xmax) xmax = x;
    if (y < ymin) ymin = y;
    if (y > ymax) ymax = y;
}

void Extent::add(const Extent& other) {
    if (other.empty()) return;
    add(other.xmin, other.ymin);
    add(other.xmax, other.ymax);
}

void appendXmlText(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\n':
            case '\t':
                out += text[i];
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    out += '?';
                } else if (c < 0x80) {
                    out += text[i];
                } else if (const std::size_t n = utf8SequenceLength(text.substr(i)); n > 0) {
                    out.append(text.substr(i, n));
                    i += n - 1;
                } else {
                    static constexpr char kHex[] = "0123456789ABCDEF";
                    out += "&#x";
                    out += kHex[c >> 4];
                    out += kHex[c & 15];
                    out += ';';
                }
        }
    }
}

void drawStrokedText(const QsText& text, std::string_view string, SvgCanvas& canvas) {
    if (!text.hasString()) return;
    std::vector<QsPolyline> strokes;
    if (!drawText(text, strokes)) return;
    if (!strokes.empty()) {
        canvas.text(string, strokes);
        return;
    }
    // No font to draw with: the box the text occupies still shows where it stands.
    std::array<QsPoint, 4> corners;
    if (text.outlineCorners(corners)) canvas.outline(corners.data(), 4);
}

void appendDecimal(std::string& out, double value) {
    char buffer[32];
    if (!std::isfinite(value)) value = 0.0;
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    out.append(buffer, r.ptr);
}

SvgCanvas::SvgCanvas(std::string idPrefix, std::int64_t dx, std::int64_t dy)
    : prefix_(std::move(idPrefix)), dx_(dx), dy_(dy) {
    body_.reserve(kInitialBody);
}

void SvgCanvas::number(std::int64_t v) {
    char buffer[24];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    body_.append(buffer, r.ptr);
}

void SvgCanvas::point(std::int64_t x, std::int64_t y) {
    const std::int64_t sx = x + dx_;
    const std::int64_t sy = y + dy_;
    extent_.add(sx, sy);
    // A command letter separates by itself; numbers need a blank between them.
    if (last_ == 0 || body_.back() != last_) body_ += ' ';
    number(sx);
    body_ += ' ';
    number(-sy);
    curX_ = x;
    curY_ = y;
}

void SvgCanvas::command(char c) {
    // A repeated L needs no letter: further coordinate pairs continue the line.
    if (c == 'L' && last_ == 'L') return;
    body_ += c;
    last_ = c;
}

void SvgCanvas::moveOrLine(std::int64_t x, std::int64_t y) {
    // A repeated point adds nothing, except right after the start of a subpath, where it makes
    // the dot that a pen put down without moving leaves.
    if (subpath_ && x == curX_ && y == curY_ && last_ != 'M') return;
    command(subpath_ ? 'L' : 'M');
    subpath_ = true;
    point(x, y);
}

void SvgCanvas::arcTo(const QsArc& arc) {
    // The path reaches the arc's start in a straight line.
    if (!subpath_ || arc.start.x != curX_ || arc.start.y != curY_)
        moveOrLine(arc.start.x, arc.start.y);
    // The box of the arc takes the axis points it passes, not only its ends.
    std::int64_t xmin = arc.start.x, ymin = arc.start.y, xmax = xmin, ymax = ymin;
    arc.extendBox(xmin, ymin, xmax, ymax);
    extent_.add(xmin + dx_, ymin + dy_);
    extent_.add(xmax + dx_, ymax + dy_);

    if (arc.radius == 0 && !arc.isFullCircle()) {
        moveOrLine(arc.end.x, arc.end.y);
        return;
    }
    // Database y points up and SVG y down: a clockwise arc turns the way SVG's sweep flag 1
    // does.
    const char sweep = arc.isClockwise() ? '1' : '0';
    auto arcCommand = [&](bool large, std::int64_t x, std::int64_t y) {
        body_ += 'A';
        last_ = 'A';
        number(arc.radius);
        body_ += ' ';
        number(arc.radius);
        body_ += " 0 ";
        body_ += large ? '1' : '0';
        body_ += ' ';
        body_ += sweep;
        point(x, y);
    };
    if (arc.isFullCircle()) {
        // One SVG arc cannot end where it starts: two half turns through the opposite point.
        const QsDPoint c = arc.centre();
        const auto ox = static_cast<std::int64_t>(std::llround(2.0 * c.x - arc.start.x));
        const auto oy = static_cast<std::int64_t>(std::llround(2.0 * c.y - arc.start.y));
        arcCommand(false, ox, oy);
        arcCommand(false, arc.start.x, arc.start.y);
        return;
    }
    arcCommand(sweepOf(arc) > std::numbers::pi, arc.end.x, arc.end.y);
}

void SvgCanvas::records(const QsRecordFigure& figure, bool closed) {
    subpath_ = false;
    last_ = 0;
    const int used = figure.usedCount();
    for (int i = 0; i < used;) {
        const QsPolyRecord& r = figure.record(i);
        if (r.isVertex()) {
            moveOrLine(r.data[0], r.data[1]);
            ++i;
        } else if (r.isArcFirst() && i + 2 < used) {
            QsArc arc;
            if (figure.extractArc(i, arc)) arcTo(arc);
            i += 3;
        } else {
            ++i;  // tangent-arc records and the further kind draw nothing
        }
    }
    endSubpath(closed);
}

void SvgCanvas::endSubpath(bool closed) {
    // A lone point is drawn as the dot of a line of length 0.
    if (last_ == 'M') {
        command('L');
        point(curX_, curY_);
    }
    if (closed && subpath_) {
        body_ += 'Z';
        last_ = 'Z';
    }
    subpath_ = false;
}

void SvgCanvas::closeGroup() {
    if (!groupOpen_) return;
    body_ += "</g>\n";
    groupOpen_ = false;
}

std::size_t SvgCanvas::hatchIndex(const Paint& paint) {
    for (std::size_t i = 0; i < hatches_.size(); ++i) {
        const Hatch& h = hatches_[i];
        if (h.angle == paint.hatchAngle && h.pitch == paint.hatchPitch && h.colour == paint.stroke)
            return i;
    }
    hatches_.push_back({paint.hatchAngle, paint.hatchPitch, paint.stroke});
    return hatches_.size() - 1;
}

void SvgCanvas::setPaint(const Paint& paint) {
    if (groupOpen_ && paint == paint_) return;
    closeGroup();
    paint_ = paint;
    body_ += "<g stroke=\"";
    appendColour(body_, paint.stroke);
    body_ += '"';
    if (paint.width > 0) {
        body_ += " stroke-width=\"";
        number(paint.width);
        body_ += '"';
    }
    // Trailing empty dash-gap pairs are dropped; what is left must have some length.
    int pairs = 2;
    while (pairs > 0 && paint.dash[2 * pairs - 2] <= 0 && paint.dash[2 * pairs - 1] <= 0)
        --pairs;
    if (pairs > 0) {
        body_ += " stroke-dasharray=\"";
        for (int i = 0; i < 2 * pairs; ++i) {
            if (i > 0) body_ += ' ';
            number(paint.dash[i] < 0 ? 0 : paint.dash[i]);
        }
        body_ += '"';
    }
    if (paint.fill == FillKind::Solid) {
        body_ += " fill=\"";
        appendColour(body_, paint.stroke);
        body_ += '"';
    } else if (paint.fill == FillKind::Hatch) {
        body_ += " fill=\"url(#" + prefix_ + "-hatch" + std::to_string(hatchIndex(paint)) + ")\"";
    }
    body_ += ">\n";
    groupOpen_ = true;
}

void SvgCanvas::path(const QsRecordFigure& figure, bool closed) {
    if (figure.usedCount() == 0) return;
    body_ += "<path d=\"";
    records(figure, closed);
    body_ += "\"/>\n";
}

void SvgCanvas::polygon(const QsRecordFigure& outline, const std::vector<QsPolylineSet>& holes) {
    if (outline.usedCount() == 0) return;
    body_ += "<path d=\"";
    records(outline, true);
    for (const QsPolylineSet& hole : holes)
        records(hole, true);
    body_ += "\"/>\n";
}

void SvgCanvas::arc(const QsArc& a) {
    body_ += "<path d=\"";
    subpath_ = false;
    last_ = 0;
    arcTo(a);
    endSubpath(false);
    body_ += "\"/>\n";
}

void SvgCanvas::circle(const QsPoint& centre, std::int32_t radius) {
    const std::int64_t x = centre.x + dx_;
    const std::int64_t y = centre.y + dy_;
    extent_.add(x - radius, y - radius);
    extent_.add(x + radius, y + radius);
    body_ += "<circle cx=\"";
    number(x);
    body_ += "\" cy=\"";
    number(-y);
    body_ += "\" r=\"";
    number(radius);
    body_ += "\"/>\n";
}

void SvgCanvas::outline(const QsPoint* points, int count) {
    if (count <= 0) return;
    body_ += "<path d=\"";
    subpath_ = false;
    last_ = 0;
    for (int i = 0; i < count; ++i)
        moveOrLine(points[i].x, points[i].y);
    endSubpath(true);
    body_ += "\"/>\n";
}

void SvgCanvas::text(std::string_view string, const std::vector<QsPolyline>& strokes) {
    body_ += "<g class=\"text\"><title>";
    appendXmlText(body_, string);
    body_ += "</title><path d=\"";
    for (const QsPolyline& stroke : strokes)
        records(stroke, false);
    body_ += "\"/></g>\n";
}

void SvgCanvas::grid(const QsBox& area, std::int32_t pitchX, std::int32_t pitchY, Rgb colour) {
    if (pitchX <= 0 || pitchY <= 0 || area.width() <= 0 || area.height() <= 0) return;
    std::int64_t px = pitchX;
    std::int64_t py = pitchY;
    while (area.width() / px > kMaxGridDots || area.height() / py > kMaxGridDots) {
        px *= 2;
        py *= 2;
    }
    grids_.push_back({px, py, colour});
    closeGroup();
    body_ += "<rect class=\"grid\" x=\"";
    number(area.x1 + dx_);
    body_ += "\" y=\"";
    number(-(area.y2 + dy_));
    body_ += "\" width=\"";
    number(area.width());
    body_ += "\" height=\"";
    number(area.height());
    body_ += "\" stroke=\"none\" fill=\"url(#" + prefix_ + "-grid" +
             std::to_string(grids_.size() - 1) + ")\"/>\n";
}

void SvgCanvas::include(const QsBox& box) {
    extent_.add(box.x1 + dx_, box.y1 + dy_);
    extent_.add(box.x2 + dx_, box.y2 + dy_);
}

std::string SvgCanvas::takeBody() {
    closeGroup();
    std::string taken;
    taken.swap(body_);
    return taken;
}

std::string SvgCanvas::definitions(double hairline) const {
    std::string out;
    for (std::size_t i = 0; i < hatches_.size(); ++i) {
        const Hatch& h = hatches_[i];
        // The tile is rotated against SVG's downward y, so that the angle turns
        // counter-clockwise on the page.
        out += "<pattern id=\"" + prefix_ + "-hatch" + std::to_string(i) +
               "\" patternUnits=\"userSpaceOnUse\" width=\"";
        out += std::to_string(h.pitch) + "\" height=\"" + std::to_string(h.pitch);
        out += "\" patternTransform=\"rotate(";
        appendDecimal(out, -h.angle);
        out += ")\">";
        if (h.pitch < 2.0 * hairline) {
            // Lines closer than two hairlines run together: the tile is filled whole.
            out += "<rect width=\"" + std::to_string(h.pitch) + "\" height=\"" +
                   std::to_string(h.pitch) + "\" stroke=\"none\" fill=\"";
        } else {
            out += "<path d=\"M0 " + std::to_string(h.pitch / 2) + "H" + std::to_string(h.pitch);
            out += "\" stroke-width=\"";
            appendDecimal(out, hairline);
            out += "\" stroke=\"";
        }
        appendColour(out, h.colour);
        out += "\"/></pattern>\n";
    }
    for (std::size_t i = 0; i < grids_.size(); ++i) {
        const GridDots& g = grids_[i];
        // The tile is centred on a grid point, so that its dot lies on the point.
        const double dot = 2.0 * hairline;
        out += "<pattern id=\"" + prefix_ + "-grid" + std::to_string(i) +
               "\" patternUnits=\"userSpaceOnUse\" x=\"";
        out += std::to_string(dx_ - g.pitchX / 2) + "\" y=\"" + std::to_string(-dy_ - g.pitchY / 2);
        out += "\" width=\"" + std::to_string(g.pitchX) + "\" height=\"" + std::to_string(g.pitchY);
        out += "\"><rect x=\"";
        appendDecimal(out, static_cast<double>(g.pitchX / 2) - dot / 2);
        out += "\" y=\"";
        appendDecimal(out, static_cast<double>(g.pitchY / 2) - dot / 2);
        out += "\" width=\"";
        appendDecimal(out, dot);
        out += "\" height=\"";
        appendDecimal(out, dot);
        out += "\" fill=\"";
        appendColour(out, g.colour);
        out += "\"/></pattern>\n";
    }
    return out;
}
