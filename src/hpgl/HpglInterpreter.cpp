#include "hpgl/HpglInterpreter.h"

#include <type_traits>
#include <utility>

HpglInterpreter::HpglInterpreter(std::string name, double unitFactor, bool userScaling)
    : fileName_(std::move(name)), transform_(unitFactor), labels_(unitFactor) {
    scaling_.enabled = userScaling;
}

HpglInterpreter::~HpglInterpreter() = default;

int HpglInterpreter::open(int* error) {
    auto in = std::make_unique<PlotInput>();
    if (!in->open(fileName_, error)) return 0;
    input_ = std::move(in);
    pendingSize_ = 0;
    return 1;
}

void HpglInterpreter::restart(double unitFactor) {
    if (!input_) return;
    input_->rewind();
    pendingSize_ = 0;
    const bool userScaling = scaling_.enabled;
    scaling_ = ScalingState();
    scaling_.enabled = userScaling;
    transform_ = PlotTransform(unitFactor);
    page_ = PlotPage();
    pen_ = PenState();
    lines_ = LineAttributes();
    polygon_ = PolygonState();
    encoded_ = EncodedFormat();
    labels_ = LabelState(unitFactor);
    symbol_ = SymbolMode();
    counts_ = StatementCounts();
}

bool HpglInterpreter::updateTransform() {
    if (!scaling_.enabled) return true;
    const double k = transform_.unitFactor();
    if (PlotTransform::make(k, scaling_.scale, page_, scaling_.quarterTurns, transform_))
        return true;
    // A scaling that maps nothing: plotter units, still turned.
    PlotTransform::make(k, UserScale(), page_, scaling_.quarterTurns, transform_);
    return false;
}

void HpglInterpreter::resetPosition(PenPosition& p) const {
    if (!scaling_.enabled) {
        p.reset();
        return;
    }
    const QsDPoint origin = transform_.plotterOrigin();
    p.x = origin.x;
    p.y = origin.y;
}

QsPoint HpglInterpreter::frameSize() const {
    const QsPoint& size = page_.plotSize;
    return scaling_.enabled && (scaling_.quarterTurns & 1) != 0 ? QsPoint(size.y, size.x) : size;
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
