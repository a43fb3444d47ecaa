// Shared set-up of the interpreter tests: a plot written to a temporary file and opened in a
// fresh interpreter, with the process-wide unit factor set for the test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "geom/QsPolyline.h"
#include "geom/QsText.h"
#include "hpgl/HpglInterpreter.h"
#include "support/TestSupport.h"

class Plot {
public:
    // The plot text at the given unit factor (40: the default scale).
    explicit Plot(const std::string& text, double k = 40.0) {
        resetUnitFactor();
        setUnitFactor(k);
        const std::string path = dir_.file("plot.hpgl");
        testsupport::writeFile(path, text);
        in = std::make_unique<HpglInterpreter>(path);
        EXPECT_EQ(in->open(), 1);
    }
    ~Plot() { resetUnitFactor(); }

    // Dispatches batches up to the end of input; the batches in order.
    std::vector<StatementBatch> batches() {
        std::vector<StatementBatch> out;
        for (int i = 0; i < 100000; ++i) {
            out.emplace_back();
            in->dispatchBatch(out.back());
            if (out.back().hasCode(60)) break;
        }
        return out;
    }

    std::unique_ptr<HpglInterpreter> in;

private:
    testsupport::TempDir dir_;
};

// A polyline as "x,y x,y ...", followed by " w<width> s<line style> e<end style>" when one of
// them is not 0.
inline std::string describeLine(const QsFigure& f) {
    if (f.typeCode() != kQsTypePolyline) return "not a polyline";
    const auto& line = static_cast<const QsPolyline&>(f);
    std::string out;
    for (int i = 0; i < line.usedCount(); ++i) {
        const QsPoint p = line.record(i).point();
        out += (i ? " " : "") + std::to_string(p.x) + "," + std::to_string(p.y);
    }
    const int32_t w = line.usedCount() > 0 ? line.record(0).width() : 0;
    if (w != 0 || line.firstAttribute() != 0 || line.secondAttribute() != 0) {
        out += " w" + std::to_string(w) + " s" + std::to_string(line.firstAttribute()) + " e" +
               std::to_string(line.secondAttribute());
    }
    return out;
}

// A plot dispatched to its end: its polylines described (other figures but texts as "not a
// polyline"), its texts and their strings, and its codes with the end of input left out.
struct PlotRun {
    explicit PlotRun(const std::string& text, double k = 40.0) : plot(text, k) {
        batches = plot.batches();
        for (const StatementBatch& b : batches) {
            codes.insert(codes.end(), b.codes.begin(), b.codes.end());
            for (const auto& f : b.figures) {
                if (f->typeCode() != kQsTypeText) {
                    lines.push_back(describeLine(*f));
                    continue;
                }
                texts.push_back(static_cast<const QsText*>(f.get()));
                strings.emplace_back(texts.back()->stringView());
            }
        }
        if (!codes.empty()) codes.pop_back();
    }
    // The pen position and the carriage-return point, truncated to output units.
    QsPoint pen() const {
        return QsPoint(int32_t(plot.in->current.x), int32_t(plot.in->current.y));
    }
    QsPoint margin() const {
        return QsPoint(int32_t(plot.in->previous.x), int32_t(plot.in->previous.y));
    }

    Plot plot;
    std::vector<StatementBatch> batches;
    std::vector<std::string> lines;
    std::vector<const QsText*> texts;
    std::vector<std::string> strings;
    std::vector<int32_t> codes;
};
