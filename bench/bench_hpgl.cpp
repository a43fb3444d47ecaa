// Reading and dispatching a large generated plot (about 32 MB): the statement reader alone, the
// statement count, and count plus dispatch as the conversion runs them. Bytes per second are the
// plot file's bytes.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <string>

#include "font/TextMeasure.h"
#include "hpgl/FigureSink.h"
#include "hpgl/HpglInterpreter.h"

namespace {

// A plot in the style of real ones: pen changes, pen-up moves, long pen-down runs of absolute
// and relative coordinates, labels and encoded polylines.
std::string makePlot(size_t targetBytes) {
    std::string s = "IN;IP0,0,16000,10000;SP1;PW0.35;";
    unsigned x = 12345;
    auto next = [&x]() {
        x = x * 1103515245u + 12345u;
        return (x >> 8) % 16000;
    };
    char buf[64];
    for (int i = 0; s.size() < targetBytes; ++i) {
        std::snprintf(buf, sizeof buf, "SP%d;PU%u,%u;PD", i % 8 + 1, next(), next());
        s += buf;
        for (int k = 0; k < 12; ++k) {
            std::snprintf(buf, sizeof buf, "%s%u,%u", k == 0 ? "" : ",", next(), next());
            s += buf;
        }
        s += ";PR";
        for (int k = 0; k < 8; ++k) {
            std::snprintf(buf, sizeof buf, "%s%d.5,-%u", k == 0 ? "" : ",", k - 4, next() % 100);
            s += buf;
        }
        s += ";PA;";
        if (i % 16 == 0) s += "LBPart No. 1234-5678, Rev C\x03";
        if (i % 32 == 0)
            s += "PE<=_AB~\xc1\xc3=~~\xc0\xc5"
                 "ab\xc2\xc4;";
        s += "\n";
    }
    return s;
}

class PlotFile {
public:
    PlotFile() {
        char tmpl[] = "/tmp/bench_hpgl_XXXXXX";
        const int fd = mkstemp(tmpl);
        path_ = tmpl;
        const std::string plot = makePlot(size_t{32} << 20);
        size_ = plot.size();
        std::FILE* f = fdopen(fd, "wb");
        std::fwrite(plot.data(), 1, plot.size(), f);
        std::fclose(f);
    }
    ~PlotFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }
    size_t size() const { return size_; }

private:
    std::string path_;
    size_t size_ = 0;
};

const PlotFile& plotFile() {
    // Labels are measured with the system fonts, as in a conversion.
    useSystemFontMetrics();
    static const PlotFile file;
    return file;
}

void BM_ReadStatements(benchmark::State& state) {
    const PlotFile& file = plotFile();
    for (auto _ : state) {
        HpglInterpreter in(file.path(), 40.0);
        in.open();
        HpglStatement st;
        long n = 0;
        for (int i = 0;; ++i) {
            in.readStatement(st);
            if (st.empty() && i > 0) break;
            ++n;
        }
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ReadStatements)->Unit(benchmark::kMillisecond);

void BM_CountStatements(benchmark::State& state) {
    const PlotFile& file = plotFile();
    for (auto _ : state) {
        HpglInterpreter in(file.path(), 40.0);
        in.open();
        benchmark::DoNotOptimize(in.countStatements());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_CountStatements)->Unit(benchmark::kMillisecond);

// What the conversion does: tell whether the file holds a statement, then dispatch batch by
// batch to the end (the figures are dropped here instead of converted).
void BM_CountAndDispatch(benchmark::State& state) {
    const PlotFile& file = plotFile();
    size_t figures = 0;
    for (auto _ : state) {
        HpglInterpreter in(file.path(), 40.0);
        in.open();
        if (in.countStatements(1) < 1) state.SkipWithError("no statement");
        StatementBatch b;
        do {
            in.dispatchBatch(b);
            figures += b.figures.size();
        } while (!b.hasCode(kHpglCodeEndOfInput));
    }
    state.counters["figures"] = static_cast<double>(figures) / state.iterations();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_CountAndDispatch)->Unit(benchmark::kMillisecond);

// Counts the figures it is handed and drops them.
class CountingSink : public FigureSink {
public:
    void polyline(std::unique_ptr<QsPolyline>, const FigureSource&) override { ++figures; }
    void polygon(std::unique_ptr<QsPolygon>, const FigureSource&) override { ++figures; }
    void text(std::unique_ptr<QsText>, const FigureSource&) override { ++figures; }
    void statementFailed(std::string_view, int32_t) override {}
    void endOfInput(const StatementCounts&) override {}

    size_t figures = 0;
};

// The same through the figure sink, as the conversion reads a plot.
void BM_CountAndRun(benchmark::State& state) {
    const PlotFile& file = plotFile();
    CountingSink sink;
    for (auto _ : state) {
        HpglInterpreter in(file.path(), 40.0);
        in.open();
        if (in.countStatements(1) < 1) state.SkipWithError("no statement");
        in.run(sink);
    }
    state.counters["figures"] = static_cast<double>(sink.figures) / state.iterations();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_CountAndRun)->Unit(benchmark::kMillisecond);

}  // namespace
