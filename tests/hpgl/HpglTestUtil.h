// Shared set-up of the interpreter tests: a plot written to a temporary file and opened in a
// fresh interpreter, with the process-wide unit factor set for the test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "geom/QsPolyline.h"
#include "hpgl/HpglInterpreter.h"
#include "support/TestSupport.h"

using Elements = std::vector<std::string>;

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

    // Every statement up to the end of input, the empty first read of a file left out.
    std::vector<Elements> statements() {
        std::vector<Elements> out;
        HpglStatement st;
        for (int i = 0; i < 1000000 && in->readStatement(st) == 1; ++i) {
            if (st.empty()) {
                if (i == 0) continue;
                break;
            }
            Elements e;
            for (int j = 0; j < st.size(); ++j)
                e.push_back(st[j]);
            out.push_back(e);
        }
        return out;
    }

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

    // Every code of every batch, end of input included.
    std::vector<int32_t> allCodes() {
        std::vector<int32_t> codes;
        for (const StatementBatch& b : batches())
            codes.insert(codes.end(), b.codes.begin(), b.codes.end());
        return codes;
    }

    std::unique_ptr<HpglInterpreter> in;

private:
    testsupport::TempDir dir_;
};

// The vertices of a polyline figure.
inline std::vector<QsPoint> vertices(const QsFigure& f) {
    std::vector<QsPoint> pts;
    if (f.typeCode() != kQsTypePolyline) return pts;
    const auto& line = static_cast<const QsPolyline&>(f);
    for (int i = 0; i < line.usedCount(); ++i)
        pts.push_back(line.record(i).point());
    return pts;
}

// The vertices of every polyline of every batch, one list per figure.
inline std::vector<std::vector<QsPoint>> strokes(const std::vector<StatementBatch>& batches) {
    std::vector<std::vector<QsPoint>> out;
    for (const StatementBatch& b : batches) {
        for (const auto& f : b.figures)
            out.push_back(vertices(*f));
    }
    return out;
}
