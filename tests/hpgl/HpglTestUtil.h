// Shared set-up of the interpreter tests: a plot written to a temporary file and opened in a
// fresh interpreter at a unit factor; what it makes written out compactly.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "geom/QsPolygon.h"
#include "geom/QsPolyline.h"
#include "geom/QsText.h"
#include "hpgl/HpglInterpreter.h"
#include "support/TestSupport.h"

class Plot {
public:
    // The plot text at the given unit factor (40: the default scale), with or without user
    // scaling.
    explicit Plot(const std::string& text, double k = 40.0, bool userScaling = false) {
        const std::string path = dir_.file("plot.hpgl");
        testsupport::writeFile(path, text);
        in = std::make_unique<HpglInterpreter>(path, k, userScaling);
        EXPECT_EQ(in->open(), 1);
    }

    // Dispatches batches up to the end of input; the batches in order.
    std::vector<StatementBatch> batches() {
        std::vector<StatementBatch> out;
        for (int i = 0; i < 100000; ++i) {
            out.emplace_back();
            in->dispatchBatch(out.back());
            if (out.back().hasCode(kHpglCodeEndOfInput)) break;
        }
        return out;
    }

    std::unique_ptr<HpglInterpreter> in;

private:
    testsupport::TempDir dir_;
};

// The figure of a batch, whatever its kind.
inline const QsFigure& figureOf(const BatchFigure& f) {
    return std::visit([](const auto& shape) -> const QsFigure& { return *shape; }, f.shape);
}

// The codes of a batch without the commands that added them.
inline std::vector<int32_t> codesOf(const StatementBatch& b) {
    std::vector<int32_t> codes;
    for (const BatchCode& c : b.codes)
        codes.push_back(c.code);
    return codes;
}

// The records of a figure in brackets: vertices x,y and arcs
// a<start>><end>c<centre>r<radius>f<flags>.
inline void describeRecords(std::ostream& o, const QsRecordFigure& f) {
    const char* sep = "";
    o << '(';
    for (int i = 0; i < f.usedCount(); ++i) {
        const QsPolyRecord& r = f.record(i);
        QsArc a;
        if (r.isVertex()) {
            o << sep << r.point().x << ',' << r.point().y;
        } else if (r.isArcFirst() && f.extractArc(i, a)) {
            const QsPoint c = a.centrePoint();
            o << sep << 'a' << a.start.x << ',' << a.start.y << '>' << a.end.x << ',' << a.end.y
              << 'c' << c.x << ',' << c.y << 'r' << a.radius << 'f' << a.flags;
        }
        if (r.isVertex() || r.isArcFirst()) sep = " ";
    }
    o << ')';
}

// A polyline "L" with its line style "s", end style "e" and width "w" when not 0; a polygon "P"
// with its holes "H", widths "w", hatch line width "h" and hatch direction "/".
inline std::string describeFigure(const QsFigure& f) {
    std::ostringstream o;
    if (f.typeCode() == kQsTypePolyline) {
        const auto& line = static_cast<const QsPolyline&>(f);
        o << 'L';
        describeRecords(o, line);
        if (line.firstAttribute() != 0) o << 's' << line.firstAttribute();
        if (line.secondAttribute() != 0) o << 'e' << line.secondAttribute();
        const int w = line.record(line.record(0).isArcFirst() ? 1 : 0).width();
        if (w != 0) o << 'w' << w;
    } else if (f.typeCode() == kQsTypePolygon) {
        const auto& p = static_cast<const QsPolygon&>(f);
        o << 'P';
        describeRecords(o, p);
        for (const QsPolylineSet& h : p.holes()) {
            o << 'H';
            describeRecords(o, h);
            if (h.lineWidth() != 0) o << 'w' << h.lineWidth();
        }
        if (p.lineWidth() != 0) o << 'w' << p.lineWidth();
        if (p.hatchLineWidth() != 0) o << 'h' << p.hatchLineWidth();
        if (p.hatchDirection() != 0) o << '/' << p.hatchDirection();
    }
    return o.str();
}

// Each non-empty batch of a plot as its figures, its codes "#" (end of input left out) and its
// pen "p" when not 0, then "@" the pen position at the end.
inline std::string dumpShapes(const std::string& text, bool userScaling = false) {
    Plot plot(text, 40.0, userScaling);
    std::ostringstream o;
    for (const StatementBatch& b : plot.batches()) {
        std::ostringstream batch;
        for (const BatchFigure& f : b.figures)
            batch << describeFigure(figureOf(f)) << ' ';
        for (int32_t c : codesOf(b)) {
            if (c != kHpglCodeEndOfInput) batch << '#' << c << ' ';
        }
        if (batch.str().empty()) continue;
        if (b.pen != 0) batch << 'p' << b.pen << ' ';
        o << batch.str() << "| ";
    }
    o << '@' << plot.in->pen().current.x << ',' << plot.in->pen().current.y;
    return o.str();
}

// A plot dispatched to its end: its figures but texts described, its texts and their strings,
// and its codes with the end of input left out.
struct PlotRun {
    explicit PlotRun(const std::string& text, double k = 40.0, bool userScaling = false)
        : plot(text, k, userScaling) {
        batches = plot.batches();
        for (const StatementBatch& b : batches) {
            for (int32_t c : codesOf(b))
                codes.push_back(c);
            for (const BatchFigure& f : b.figures) {
                const auto* text = std::get_if<std::unique_ptr<QsText>>(&f.shape);
                if (text == nullptr) {
                    lines.push_back(describeFigure(figureOf(f)));
                    continue;
                }
                texts.push_back(text->get());
                strings.emplace_back(texts.back()->stringView());
            }
        }
        if (!codes.empty()) codes.pop_back();
    }
    // The pen position and the carriage-return point, truncated to output units.
    QsPoint pen() const {
        const PenPosition& p = plot.in->pen().current;
        return QsPoint(int32_t(p.x), int32_t(p.y));
    }
    QsPoint margin() const {
        const PenPosition& p = plot.in->pen().previous;
        return QsPoint(int32_t(p.x), int32_t(p.y));
    }

    Plot plot;
    std::vector<StatementBatch> batches;
    std::vector<std::string> lines;
    std::vector<const QsText*> texts;
    std::vector<std::string> strings;
    std::vector<int32_t> codes;
};
