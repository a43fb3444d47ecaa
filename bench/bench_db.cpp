// Saving and loading a sheet of many strokes: the buffered writer with its own integer
// formatting and the buffered token reader. Figures are bytes per second of file text.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "db/LexClassRegistry.h"
#include "db/LexDatabase.h"
#include "db/LexSheet.h"
#include "geom/QsPolyline.h"

namespace {

std::string benchPath() {
    return std::string(P_tmpdir) + "/trazon-bench-db.sht";
}

// A sheet of n five-point strokes.
std::unique_ptr<LexDatabase> makeSheet(int n) {
    initialiseDatabaseLayer();
    std::remove(benchPath().c_str());
    std::unique_ptr<LexDatabase> db = LexDatabase::open(benchPath(), nullptr, 0);
    std::unique_ptr<LexObject> sheet = std::make_unique<LexSheet>(0);
    LexSheet* s = sheet->asSheet();
    db->add("Sheet", sheet);
    for (int i = 0; i < n; ++i) {
        QsPoint pts[5] = {{i, 0}, {i + 1000, 250000}, {-i, 123456}, {i * 3, -98765}, {7, i}};
        std::unique_ptr<LexSheetObject> line(new LexPolyline(QsPolyline(pts, 5)));
        s->addObject(line);
    }
    return db;
}

void BM_SaveSheet(benchmark::State& state) {
    std::unique_ptr<LexDatabase> db = makeSheet(static_cast<int>(state.range(0)));
    long bytes = 0;
    for (auto _ : state) {
        db->save();
        std::FILE* f = std::fopen(benchPath().c_str(), "rb");
        std::fseek(f, 0, SEEK_END);
        bytes += std::ftell(f);
        std::fclose(f);
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_SaveSheet)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LoadSheet(benchmark::State& state) {
    makeSheet(static_cast<int>(state.range(0)))->save();
    std::FILE* f = std::fopen(benchPath().c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fclose(f);
    for (auto _ : state) {
        std::unique_ptr<LexDatabase> db = LexDatabase::open(benchPath(), nullptr, 2);
        benchmark::DoNotOptimize(db.get());
    }
    state.SetBytesProcessed(static_cast<long>(state.iterations()) * size);
}
BENCHMARK(BM_LoadSheet)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
