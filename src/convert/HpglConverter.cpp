#include "convert/HpglConverter.h"

#include <exception>
#include <limits>
#include <utility>

#include "base/PathUtil.h"
#include "convert/CreateCommands.h"
#include "db/LexPolyline.h"
#include "db/LexSheet.h"
#include "db/LexSheetObject.h"
#include "db/ResourceSettings.h"
#include "geom/QsPolygon.h"
#include "geom/QsPolyline.h"
#include "geom/QsPolylineSet.h"
#include "geom/QsText.h"
#include "hpgl/HpglInterpreter.h"
#include "hpgl/StatementBatch.h"

namespace {

std::int64_t distance(std::int64_t a, std::int64_t b) {
    return a > b ? a - b : b - a;
}

// The records of a figure and of its holes (a polygon's; none for other figures).
struct RecordsOf {
    const QsRecordFigure& outline;
    const std::vector<QsPolylineSet>* holes;

    // Grows the 64-bit extent by every record; false when there is no point.
    bool extend(std::int64_t& xmin, std::int64_t& ymin, std::int64_t& xmax,
                std::int64_t& ymax) const {
        bool any = outline.extendBox(xmin, ymin, xmax, ymax);
        if (holes != nullptr) {
            for (const QsPolylineSet& hole : *holes)
                any = hole.extendBox(xmin, ymin, xmax, ymax) || any;
        }
        return any;
    }
    // Whether every arc's centre and axis points fit in 32 bits.
    bool inRange() const {
        if (!outline.isWithinRange()) return false;
        if (holes != nullptr) {
            for (const QsPolylineSet& hole : *holes)
                if (!hole.isWithinRange()) return false;
        }
        return true;
    }
};

// Whether a box of 64-bit coordinates stays within 32 bits when moved by (dx, dy).
bool movedBoxFits(std::int64_t xmin, std::int64_t ymin, std::int64_t xmax, std::int64_t ymax,
                  std::int32_t dx, std::int32_t dy) {
    return fitsInt32(xmin + dx) && fitsInt32(xmax + dx) && fitsInt32(ymin + dy) &&
           fitsInt32(ymax + dy);
}

// Moves a figure of records by (dx, dy): false, nothing moved, when a coordinate of its extent
// would leave the 32-bit range; false after the move when an arc centre lies outside it. Arc
// centres may lie far outside the drawn box, with or without offsets.
bool moveRecords(QsRecordFigure& figure, const RecordsOf& records, std::int32_t dx,
                 std::int32_t dy) {
    if (dx == 0 && dy == 0) return records.inRange();
    std::int64_t xmin = std::numeric_limits<std::int64_t>::max(), ymin = xmin;
    std::int64_t xmax = std::numeric_limits<std::int64_t>::min(), ymax = xmax;
    if (!records.extend(xmin, ymin, xmax, ymax)) return true;  // nothing to move
    if (!movedBoxFits(xmin, ymin, xmax, ymax, dx, dy)) return false;
    figure.move(QsPoint(dx, dy));
    return records.inRange();
}

}  // namespace

int64_t ConversionTally::failuresOf(std::string_view mnemonic, int32_t code) const {
    const auto it = failures.find({std::string(mnemonic), code});
    return it == failures.end() ? 0 : it->second;
}

int64_t ConversionTally::tooLongStrokes() const {
    int64_t n = 0;
    for (const auto& [key, count] : failures)
        if (key.second == kHpglCodeVertexAppend) n += count;
    return n;
}

HpglConverter::HpglConverter(const DatabaseSettings* landata, const EnvironmentSettings* lanenv,
                             const DbHandle& sheet, std::int32_t offsetX, std::int32_t offsetY)
    : landata_(landata), lanenv_(lanenv), sheet_(sheet), offsetX_(offsetX), offsetY_(offsetY) {}

HpglConverter::~HpglConverter() = default;

int HpglConverter::convert(const std::string& inputFile, double scale,
                           const std::string& penMapFile) {
    PlotSizing sizing;
    sizing.scale = scale;
    return convert(inputFile, sizing, penMapFile);
}

int HpglConverter::convert(const std::string& inputFile, const PlotSizing& sizing,
                           const std::string& penMapFile) {
    // The conversion's own unit factor; nothing process-wide is changed.
    tally_.unitFactor = sizing.unitFactor();
    if (!dbValid(sheet_) || sheet_.sheet() == nullptr) return kConvertNoSheet;
    if (pathKind(inputFile) == 0) return kConvertNoInput;
    // A pen map that cannot be read (wholly or in part) leaves the table as far as it was read.
    if (!penMapFile.empty()) penTable_.read(penMapFile);

    std::unique_ptr<HpglInterpreter> interpreter;
    try {
        interpreter =
            std::make_unique<HpglInterpreter>(inputFile, tally_.unitFactor, sizing.userScaling);
    } catch (const std::exception&) {
        return kConvertUnreadable;
    }
    // A directory or a device holds no plot to read; the input refuses them.
    if (!interpreter->open(&inputError_)) return kConvertUnreadable;
    // Whether there is any statement at all; the count stops at the first one.
    if (interpreter->countStatements(1) < 1) return kConvertNoStatements;
    const FitOutcome fit = fitPlotToBox(*interpreter, sizing);
    tally_.unitFactor = fit.unitFactor;
    tally_.fitWithoutExtent = fit.noExtent;
    interpreter->run(*this);
    return kConvertDone;
}

void HpglConverter::polyline(std::unique_ptr<QsPolyline> line, const FigureSource& source) {
    convertFigure(std::move(line), source.pen);
}

void HpglConverter::polygon(std::unique_ptr<QsPolygon> polygon, const FigureSource& source) {
    // Stored unfilled whether the plot fills it (FP, RA, RR, WG) or edges it.
    convertFigure(std::move(polygon), source.pen);
}

void HpglConverter::text(std::unique_ptr<QsText> text, const FigureSource& source) {
    convertFigure(*text, source.pen);
}

void HpglConverter::statementFailed(std::string_view mnemonic, int32_t code) {
    try {
        ++tally_.failures[{std::string(mnemonic), code}];
    } catch (const std::exception&) {
        // Storage ran out: the count is lost, the conversion goes on.
    }
}

void HpglConverter::endOfInput(const StatementCounts& counts) {
    tally_.statements = counts;
}

FigureOutcome HpglConverter::tallied(FigureOutcome outcome) {
    ++tally_.figures[static_cast<size_t>(outcome)];
    return outcome;
}

FigureOutcome HpglConverter::executed(CreateObjectCommand& command, ObjectKind kind) {
    if (!command.execute()) return FigureOutcome::kNotAdded;
    ++tally_.objects[static_cast<size_t>(kind)];
    if (const LexSheetObject* object = command.object(); object != nullptr && object->hasBox()) {
        if (tally_.extent)
            tally_.extent->include(object->box());
        else
            tally_.extent = object->box();
    }
    return FigureOutcome::kAdded;
}

FigureOutcome HpglConverter::convertFigure(std::unique_ptr<QsPolyline> line, int pen) {
    if (!line || line->usedCount() == 0) return tallied(FigureOutcome::kEmpty);
    if (!moveRecords(*line, RecordsOf{*line, nullptr}, offsetX_, offsetY_))
        return tallied(FigureOutcome::kOutOfRange);
    if (LexSheet* sheet = sheet_.sheet()) {
        // Packed straight from the figure's records: the entry, the errors and the tally are
        // those of the creation command, without building the object it would pack a copy of.
        const std::uint32_t attr = LexPolyline::newAttributes(
            penTable_.colourOf(pen), defaultLineStyle(), defaultLineWidth());
        if (sheet->addPackedPolyline(attr, {line->records(), line->usedCount(), nullptr}) < 0)
            return tallied(FigureOutcome::kNotAdded);
        ++tally_.objects[static_cast<size_t>(ObjectKind::kPolyline)];
        QsBox box;
        if (!line->getBox(box)) box = QsBox();
        if (tally_.extent)
            tally_.extent->include(box);
        else
            tally_.extent = box;
        return tallied(FigureOutcome::kAdded);
    }
    try {
        CreatePolylineCommand command(sheet_, std::move(line), penTable_.colourOf(pen),
                                      defaultLineStyle(), defaultLineWidth());
        return tallied(executed(command, ObjectKind::kPolyline));
    } catch (const std::exception&) {
        // Storage ran out: the figure is skipped like any other that cannot be added.
        return tallied(FigureOutcome::kNotAdded);
    }
}

FigureOutcome HpglConverter::convertFigure(std::unique_ptr<QsPolygon> polygon, int pen) {
    if (!polygon || polygon->usedCount() == 0) return tallied(FigureOutcome::kEmpty);
    if (!moveRecords(*polygon, RecordsOf{*polygon, &polygon->holes()}, offsetX_, offsetY_))
        return tallied(FigureOutcome::kOutOfRange);
    return tallied(addPolygon(std::move(polygon), pen, false));
}

FigureOutcome HpglConverter::convertFigure(std::unique_ptr<QsPolylineSet> outline, int pen) {
    if (!outline || outline->usedCount() == 0) return tallied(FigureOutcome::kEmpty);
    if (!moveRecords(*outline, RecordsOf{*outline, nullptr}, offsetX_, offsetY_))
        return tallied(FigureOutcome::kOutOfRange);
    return tallied(addPolygon(std::move(outline), pen, true));
}

FigureOutcome HpglConverter::convertFigure(QsText& text, int pen) {
    if (offsetX_ != 0 || offsetY_ != 0) {
        const QsPoint p = text.referencePoint();
        if (!movedBoxFits(p.x, p.y, p.x, p.y, offsetX_, offsetY_))
            return tallied(FigureOutcome::kOutOfRange);
        text.move(QsPoint(offsetX_, offsetY_));
    }
    try {
        CreateTextCommand command(sheet_, text.position, text.stringView(), fontIndex(text.height),
                                  penTable_.colourOf(pen), text.justification, text.path,
                                  text.angle);
        return tallied(executed(command, ObjectKind::kText));
    } catch (const std::exception&) {
        return tallied(FigureOutcome::kNotAdded);
    }
}

FigureOutcome HpglConverter::addPolygon(std::unique_ptr<QsPolylineSet> polygon, int pen,
                                        bool filled) {
    try {
        const int width = widthIndex(polygon->lineWidth());
        CreatePolygonCommand command(sheet_, std::move(polygon), penTable_.colourOf(pen),
                                     defaultLineStyle(), width, filled, penTable_.styleOf(pen));
        return executed(command, ObjectKind::kPolygon);
    } catch (const std::exception&) {
        return FigureOutcome::kNotAdded;
    }
}

int HpglConverter::defaultLineStyle() const {
    return landata_ != nullptr ? landata_->defaultLineStyle() : 0;
}

int HpglConverter::defaultLineWidth() const {
    return landata_ != nullptr ? landata_->defaultLineWidth() : 0;
}

int HpglConverter::widthIndex(std::int32_t lineWidth) const {
    const std::int64_t w = lineWidth / 10;
    const int count = landata_ != nullptr ? landata_->lineWidthCount() : 0;
    auto width = [&](int i) -> std::int64_t {
        return i >= 0 && i < count ? landata_->lineWidth(i) : 0;
    };
    int best = defaultLineWidth();
    std::int64_t bestDistance = distance(width(best), w);
    for (int i = 0; i < count; ++i) {
        const std::int64_t d = distance(width(i), w);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

int HpglConverter::fontIndex(std::int32_t height) const {
    const int count = landata_ != nullptr ? landata_->textTableCount() : 0;
    int best = 0;
    std::int64_t bestDistance = height;
    for (int i = 0; i < count; ++i) {
        const std::int64_t d = distance(landata_->textCharHeight(i), height);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}
