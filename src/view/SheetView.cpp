#include "view/SheetView.h"

#include <array>
#include <vector>

#include "db/LexDatabase.h"
#include "db/LexGrid.h"
#include "db/LexSheet.h"
#include "db/ResourceSettings.h"
#include "view/SvgCanvas.h"

namespace {

// Draws every visible object of one list of the sheet (kLexList..., packed entries included),
// counting it; invisible ones are only counted.
template <class T, class Draw>
void drawList(const LexSheet& sheet, int listKind, long& count, long& hidden, Draw draw) {
    sheet.forEachInList(listKind, [&](const LexSheetObject& o) {
        if (!o.isVisible()) {
            ++hidden;
            return false;
        }
        ++count;
        draw(static_cast<const T&>(o));
        return false;
    });
}

}  // namespace

Paint linePaint(const DatabaseSettings* settings, int colour, int width, int style) {
    Paint paint;
    paint.stroke = settingsColour(settings, colour);
    if (settings == nullptr) return paint;
    if (settings->lineWidthDefined(width)) paint.width = settings->lineWidth(width);
    if (style >= 0 && style < settings->lineStyleCount()) {
        const LineStyleEntry e = settings->lineStyle(style);
        paint.dash = {e.dash1, e.gap1, e.dash2, e.gap2};
    }
    return paint;
}

Paint areaPaint(const DatabaseSettings* settings, int colour, int width, int style, bool filled,
                int fillStyle) {
    Paint paint = linePaint(settings, colour, width, style);
    if (!filled) return paint;
    paint.fill = FillKind::Solid;
    if (settings == nullptr || fillStyle < 0 || fillStyle >= settings->fillStyleCount())
        return paint;
    const FillStyleEntry e = settings->fillStyle(fillStyle);
    if (e.kind == 0) {
        paint.fill = FillKind::None;
    } else if (e.kind == 2 && e.pitch > 0) {
        paint.fill = FillKind::Hatch;
        paint.hatchAngle = e.angle;
        paint.hatchPitch = e.pitch;
    }
    return paint;
}

Rgb sheetBackground(const LexSheet& sheet, const DatabaseSettings* settings) {
    return settingsColour(settings, sheet.color());
}

SheetCounts drawSheet(const LexDatabase& database, const DatabaseSettings* settings, bool grid,
                      SvgCanvas& canvas) {
    SheetCounts counts;
    const LexSheet* sheet = database.sheet();
    if (sheet == nullptr) return counts;

    const QsBox& area = sheet->sheetBox();
    if (area.width() > 0 || area.height() > 0) {
        Paint edge;
        edge.stroke = settingsColour(settings, sheet->sizeColor());
        if (grid) {
            if (const LexObject* child = database.find("Grid");
                child != nullptr && child->asGrid() != nullptr) {
                const LexGrid& g = *child->asGrid();
                canvas.grid(area, g.pitchX(), g.pitchY(), settingsColour(settings, g.color()));
            }
        }
        canvas.setPaint(edge);
        const std::array<QsPoint, 4> corners = area.corners();
        canvas.outline(corners.data(), 4);
    }

    // Objects in the sheet's own colour vanish into it; the reader is told how many.
    const Rgb background = sheetBackground(*sheet, settings);
    auto usePaint = [&](const Paint& paint) {
        if (paint.stroke == background) ++counts.unseen;
        canvas.setPaint(paint);
    };
    // Areas first, so that their fills do not hide the lines and texts drawn over them.
    drawList<LexPolygon>(*sheet, kLexListPolygons, counts.polygons, counts.hidden,
                         [&](const LexPolygon& p) {
                             if (p.isFilled()) ++counts.filledPolygons;
                             if (p.geometry() == nullptr) return;
                             usePaint(areaPaint(settings, p.color(), p.lineWidth(), p.lineStyle(),
                                                p.isFilled(), p.fillStyle()));
                             canvas.polygon(*p.geometry(), p.geometry()->holes());
                         });
    drawList<LexCircle>(*sheet, kLexListCircles, counts.circles, counts.hidden,
                        [&](const LexCircle& c) {
                            usePaint(areaPaint(settings, c.color(), c.lineWidth(), c.lineStyle(),
                                               c.isFilled(), c.fillStyle()));
                            canvas.circle(c.geometry().centre, c.geometry().radius);
                        });
    drawList<LexFrame>(*sheet, kLexListFrames, counts.frames, counts.hidden,
                       [&](const LexFrame& f) {
                           usePaint(linePaint(settings, f.color(), f.lineWidth(), f.lineStyle()));
                           const std::array<QsPoint, 4> corners = f.frameBox().corners();
                           canvas.outline(corners.data(), 4);
                       });
    drawList<LexArc>(*sheet, kLexListArcs, counts.arcs, counts.hidden, [&](const LexArc& a) {
        usePaint(linePaint(settings, a.color(), a.lineWidth(), a.lineStyle()));
        canvas.arc(a.geometry());
    });
    drawList<LexPolyline>(
        *sheet, kLexListPolylines, counts.polylines, counts.hidden, [&](const LexPolyline& p) {
            if (p.geometry() == nullptr) return;
            usePaint(linePaint(settings, p.color(), p.lineWidth(), p.lineStyle()));
            canvas.path(*p.geometry());
        });
    drawList<LexText>(*sheet, kLexListTexts, counts.texts, counts.hidden, [&](const LexText& t) {
        Paint paint;
        paint.stroke = settingsColour(settings, t.color());
        usePaint(paint);
        QsText measured;
        if (t.measuredGeometry(measured)) drawStrokedText(measured, t.string(), canvas);
    });
    counts.notShown =
        static_cast<long>(sheet->components().size() + sheet->pins().size() + sheet->nets().size());
    return counts;
}
