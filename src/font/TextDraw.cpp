#include "font/TextDraw.h"

#include <array>
#include <new>

#include "font/FontHandle.h"
#include "font/SystemFontTable.h"
#include "font/TextMeasure.h"
#include "geom/QsPolyline.h"
#include "geom/QsText.h"

namespace {

// Places glyph strokes of one text: scales cell units to database units around a character's
// origin, and collects the finished strokes.
class StrokeBuilder {
public:
    StrokeBuilder(const QsText& text, std::vector<QsPolyline>& out) : text_(text), out_(out) {}

    // Draws the glyph of code at (x, baseline), its cell scaled to cellScale x the text's height.
    // False when a point leaves the 32-bit range.
    bool glyph(FontHandle* font, std::uint32_t code, double x, double baseline, double cellScale) {
        if (!font || !font->hasFont()) return true;
        if (font->glyphPoints(code, points_) == 0) return true;
        const VectorFont& f = *font->font();
        double cw = f.cellWidth() > 0 ? f.cellWidth() : 1.0;
        double ch = f.cellHeight() > 0 ? f.cellHeight() : 1.0;
        double base = (f.flags() & kFontFlagBaseline) ? f.baselineOffset() : 0.0;
        double sx = cellScale / cw;
        double sy = double(text_.height) / ch;
        QsPolyline stroke;
        for (const GlyphPoint& gp : points_) {
            if (!gp.penDown && !flush(stroke)) return false;
            QsPoint p;
            if (!QsDPoint(x + gp.x * sx, baseline + (gp.y - base) * sy).tryRounded(p)) return false;
            if (stroke.appendPoint(p, text_.penWidth) < 0) return false;
        }
        return flush(stroke);
    }

    // Mirrors and rotates every stroke about the text's position. False when a point would
    // leave the 32-bit range.
    bool place() {
        for (QsPolyline& stroke : out_) {
            if ((text_.mirror & kMirrorY) && !stroke.mirrorY(text_.position.y)) return false;
            if ((text_.mirror & kMirrorX) && !stroke.mirrorX(text_.position.x)) return false;
            if (text_.angle != 0.0 && !stroke.rotate(text_.position, text_.angle)) return false;
        }
        return true;
    }

private:
    bool flush(QsPolyline& stroke) {
        if (stroke.usedCount() == 0) return true;
        out_.push_back(std::move(stroke));
        stroke = QsPolyline();
        return true;
    }

    const QsText& text_;
    std::vector<QsPolyline>& out_;
    std::vector<GlyphPoint> points_;
};

FontHandle* fontOrDefault(unsigned number, FontHandle* defaultFont) {
    FontHandle* font = SystemFontTable::instance().findFont(number);
    return font ? font : defaultFont;
}

}  // namespace

int drawText(const QsText& text, std::vector<QsPolyline>& out, FontHandle* defaultFont) {
    if (!text.hasString()) return 1;
    std::int32_t w = 0;
    std::int32_t h = 0;
    QsPoint corner;
    std::array<QsPoint, 4> outline;
    if (!text.extent(w, h) || !text.lowerLeftCorner(w, h, corner)) return 0;
    // The strokes lie about the outline: when it cannot be placed, neither can they.
    if (!text.outlineCorners(outline)) return 0;

    FontHandle* single = fontOrDefault(text.fontNumber, defaultFont);
    FontHandle* wide = fontOrDefault(text.wideFontNumber, defaultFont);
    std::vector<QsPolyline> strokes;
    try {
        StrokeBuilder builder(text, strokes);
        std::string_view s = text.stringView();
        const bool reverse = text.path == kTextPathReverse;
        const double lineStep = double(text.height) + text.lineSpacing;
        double baseline = corner.y + lineStep * (text.lineCount() - 1);
        // A reversed text starts at the right end of its box and runs to the left.
        double x = reverse ? double(corner.x) + w : double(corner.x);
        for (std::size_t i = 0; i < s.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(s[i]);
            if (c == '\n') {
                baseline -= lineStep;
                x = reverse ? double(corner.x) + w : double(corner.x);
                continue;
            }
            FontHandle* font = single;
            std::uint32_t code = c;
            double advance = 0;
            double cellScale = text.width;
            if (c >= 128) {
                if (i + 1 < s.size() && s[i + 1] != '\n')
                    code = (code << 8) | static_cast<unsigned char>(s[++i]);
                font = wide;
                advance = 2.0 * text.width;
                cellScale = advance;  // full-width glyphs fill their two-byte advance
            } else {
                advance = double(characterAdvance(text.width, single, c));
            }
            if (reverse) x -= advance;
            if (!builder.glyph(font, code, x, baseline, cellScale)) return 0;
            x += reverse ? -double(text.spacing) : advance + text.spacing;
        }
        if (!builder.place()) return 0;
        out.reserve(out.size() + strokes.size());
        for (QsPolyline& stroke : strokes)
            out.push_back(std::move(stroke));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}
