#include "hpgl/HpglInterpreter.h"

#include <type_traits>
#include <utility>

HpglInterpreter::HpglInterpreter(std::string name, double unitFactor)
    : fileName_(std::move(name)), unitFactor_(unitFactor), labels_(unitFactor) {}

HpglInterpreter::~HpglInterpreter() = default;

int HpglInterpreter::open(int* error) {
    auto in = std::make_unique<PlotInput>();
    if (!in->open(fileName_, error)) return 0;
    input_ = std::move(in);
    pendingMnemonic_.clear();
    return 1;
}

void HpglInterpreter::run(FigureSink& sink) {
    // One batch for the whole run, so that its lists keep their storage from batch to batch.
    StatementBatch batch;
    do {
        dispatchBatch(batch);
    } while (!deliverBatch(batch, sink));
    sink.endOfInput(counts_);
}

bool deliverBatch(StatementBatch& batch, FigureSink& sink) {
    for (BatchFigure& figure : batch.figures) {
        const FigureSource source{batch.pen, figure.madeBy};
        std::visit(
            [&](auto& shape) {
                using Shape = typename std::decay_t<decltype(shape)>::element_type;
                if (!shape) return;
                if constexpr (std::is_same_v<Shape, QsPolyline>) {
                    sink.polyline(std::move(shape), source);
                } else if constexpr (std::is_same_v<Shape, QsPolygon>) {
                    sink.polygon(std::move(shape), source);
                } else {
                    sink.text(std::move(shape), source);
                }
            },
            figure.shape);
    }
    bool ended = false;
    for (const BatchCode& c : batch.codes) {
        // The end of the input ends the run; so does a lost input stream, which would otherwise
        // never reach that end.
        if (c.code == kHpglCodeEndOfInput || c.code == kHpglCodeNoInput) {
            ended = true;
        } else {
            sink.statementFailed(c.addedBy != nullptr ? c.addedBy : "", c.code);
        }
    }
    batch.clear();
    return ended;
}
