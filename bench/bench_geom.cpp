// Appending vertices and arcs to polylines one at a time, as the interpreter does for long strokes,
// and building arcs from the values a sheet file holds, as the file reader does for every arc.
// A polyline holds at most 65535 records (its slot count is 16 bits), so a million appends fill
// one polyline to the limit after another; the per-size runs show that the cost per append does
// not grow with the length of the polyline.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "geom/QsAngle.h"
#include "geom/QsArc.h"
#include "geom/QsPolyline.h"

namespace {

constexpr int64_t kMillion = 1000000;

QsPoint pointAt(int64_t i) {
    return QsPoint(static_cast<int32_t>(i % 100000), static_cast<int32_t>(i / 7));
}

// Appends n vertices, starting a new polyline whenever one is full.
void appendPoints(int64_t n) {
    QsPolyline p;
    for (int64_t i = 0; i < n; ++i) {
        if (p.appendPoint(pointAt(i), 40) < 0) {
            benchmark::DoNotOptimize(p.records());
            p = QsPolyline();
            p.appendPoint(pointAt(i), 40);
        }
    }
    benchmark::DoNotOptimize(p.records());
}

// Appends n quarter arcs (three records each), with the same rule. The arc is built once so
// that the figures measure the appending, not the trigonometry.
void appendArcs(int64_t n) {
    QsPolyline p;
    const QsArc arc(QsPoint(100, 0), QsPoint(0, 0), kQsHalfPi);
    for (int64_t i = 0; i < n; ++i) {
        if (p.appendArc(arc, 40, 40) < 0) {
            benchmark::DoNotOptimize(p.records());
            p = QsPolyline();
            p.appendArc(arc, 40, 40);
        }
    }
    benchmark::DoNotOptimize(p.records());
}

void BM_AppendPoints(benchmark::State& state) {
    for (auto _ : state)
        appendPoints(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AppendPoints)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(65535)
    ->Arg(kMillion)
    ->Unit(benchmark::kMillisecond);

void BM_AppendArcs(benchmark::State& state) {
    for (auto _ : state)
        appendArcs(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AppendArcs)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(21845)
    ->Arg(kMillion)
    ->Unit(benchmark::kMillisecond);

// Arcs written with six-decimal angles (centre, radius, start and end angle) and read back.
void BM_ArcsFromWrittenAngles(benchmark::State& state) {
    struct Written {
        QsPoint centre;
        int32_t radius;
        double a1, a2;
    };
    std::vector<Written> arcs;
    for (int i = 0; i < 1000; ++i) {
        const QsArc arc(pointAt(i * 7919), 10 + (i * 104729) % 100000, 0.0061 * i - 3.0,
                        0.0043 * i - 2.0, 0);
        char text[64];
        std::snprintf(text, sizeof text, "%.6f %.6f", arc.startAngle(), arc.endAngle());
        Written w{arc.centrePoint(), arc.radius, 0.0, 0.0};
        if (std::sscanf(text, "%lf %lf", &w.a1, &w.a2) == 2) arcs.push_back(w);
    }
    for (auto _ : state) {
        for (const Written& w : arcs)
            benchmark::DoNotOptimize(QsArc::fromWrittenAngles(w.centre, w.radius, w.a1, w.a2, 0));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(arcs.size()));
}
BENCHMARK(BM_ArcsFromWrittenAngles);

}  // namespace
