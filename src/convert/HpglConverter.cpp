#include "convert/HpglConverter.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <limits>
#include <utility>

#include "base/PathUtil.h"
#include "convert/CreateCommands.h"
#include "db/LexSheet.h"
#include "db/ResourceSettings.h"
#include "geom/QsPolygon.h"
#include "geom/QsPolyline.h"
#include "geom/QsPolylineSet.h"
#include "geom/QsText.h"
#include "hpgl/HpglInterpreter.h"
#include "hpgl/PlotPage.h"
#include "hpgl/StatementBatch.h"

namespace {

// Type codes that need no object: 17 counts as done, the others as not converted.
constexpr int kTypeNothingDone = 17;
constexpr int kTypesNothing[] = {18, 22, 23, 28, 29};

std::int64_t distance(std::int64_t a, std::int64_t b) {
    return a > b ? a - b : b - a;
}

// Grows the 64-bit extent by the records of the figure and, for a polygon, of its holes.
bool extentOf(const QsRecordFigure& figure, std::int64_t& xmin, std::int64_t& ymin,
              std::int64_t& xmax, std::int64_t& ymax) {
    bool any = figure.extendBox(xmin, ymin, xmax, ymax);
    if (figure.typeCode() == kQsTypePolygon) {
        for (const QsPolylineSet& hole : static_cast<const QsPolygon&>(figure).holes())
            any = hole.extendBox(xmin, ymin, xmax, ymax) || any;
    }
    return any;
}

bool recordsInRange(const QsRecordFigure& figure) {
    if (!figure.isWithinRange()) return false;
    if (figure.typeCode() == kQsTypePolygon) {
        for (const QsPolylineSet& hole : static_cast<const QsPolygon&>(figure).holes())
            if (!hole.isWithinRange()) return false;
    }
    return true;
}

}  // namespace

HpglConverter::HpglConverter(const DatabaseSettings* landata, const EnvironmentSettings* lanenv,
                             const DbHandle& sheet, std::int32_t offsetX, std::int32_t offsetY)
    : landata_(landata), lanenv_(lanenv), sheet_(sheet), offsetX_(offsetX), offsetY_(offsetY) {}

HpglConverter::~HpglConverter() = default;

int HpglConverter::convert(const std::string& inputFile, double scale,
                           const std::string& penMapFile) {
    setUnitFactor(unitFactor() * scale);
    if (!dbValid(sheet_) || sheet_.sheet() == nullptr) return kConvertNoSheet;
    if (pathKind(inputFile) == 0) return kConvertNoInput;
    // A pen map that cannot be read (wholly or in part) leaves the table as far as it was read.
    if (!penMapFile.empty()) penTable_.read(penMapFile);

    std::unique_ptr<HpglInterpreter> interpreter;
    try {
        interpreter = std::make_unique<HpglInterpreter>(inputFile);
    } catch (const std::exception&) {
        return kConvertUnreadable;
    }
    // A directory or a device holds no plot to read; the input refuses them.
    if (!interpreter->open(&inputError_)) return kConvertUnreadable;
    // Whether there is any statement at all; the count stops at the first one.
    if (interpreter->countStatements(1) < 1) return kConvertNoStatements;

    StatementBatch batch;
    for (;;) {
        batch = StatementBatch();
        interpreter->dispatchBatch(batch);
        for (std::unique_ptr<QsFigure>& figure : batch.figures)
            convertFigure(std::move(figure), batch.pen);
        // The end of the input ends the run; so would a lost input stream, which would
        // otherwise never reach that end.
        if (batch.hasCode(kHpglCodeEndOfInput) || batch.hasCode(kHpglCodeNoInput)) break;
    }
    return kConvertDone;
}

int HpglConverter::convertFigure(std::unique_ptr<QsFigure> figure, int pen) {
    if (!figure) return 0;
    try {
        const int type = figure->typeCode();
        switch (type) {
            case kQsTypePolyline:
                return convertPolyline(
                    std::unique_ptr<QsPolyline>(static_cast<QsPolyline*>(figure.release())), pen);
            case kQsTypePolylineSet:
            case kQsTypePolygon:
                return convertPolygon(
                    std::unique_ptr<QsPolylineSet>(static_cast<QsPolylineSet*>(figure.release())),
                    pen, type == kQsTypePolylineSet);
            case kQsTypeText:
                return convertText(static_cast<QsText&>(*figure), pen);
            case kTypeNothingDone:
                return 1;
            default:
                break;
        }
        for (int quiet : kTypesNothing)
            if (type == quiet) return 0;
        std::fputs("UNKNOWN!\n", stdout);
        return 0;
    } catch (const std::exception&) {
        // Storage ran out: the figure is skipped like any other that cannot be added.
        return 0;
    }
}

bool HpglConverter::moveByOffset(QsFigure& figure) const {
    const bool records = figure.typeCode() == kQsTypePolyline ||
                         figure.typeCode() == kQsTypePolylineSet ||
                         figure.typeCode() == kQsTypePolygon;
    // Arc centres may lie far outside the drawn box, with or without offsets.
    if (offsetX_ == 0 && offsetY_ == 0)
        return !records || recordsInRange(static_cast<const QsRecordFigure&>(figure));
    std::int64_t xmin = std::numeric_limits<std::int64_t>::max(), ymin = xmin;
    std::int64_t xmax = std::numeric_limits<std::int64_t>::min(), ymax = xmax;
    if (records) {
        if (!extentOf(static_cast<const QsRecordFigure&>(figure), xmin, ymin, xmax, ymax))
            return true;  // nothing to move
    } else {
        const QsPoint p = figure.referencePoint();
        xmin = xmax = p.x;
        ymin = ymax = p.y;
    }
    if (!fitsInt32(xmin + offsetX_) || !fitsInt32(xmax + offsetX_) || !fitsInt32(ymin + offsetY_) ||
        !fitsInt32(ymax + offsetY_))
        return false;
    figure.move(QsPoint(offsetX_, offsetY_));
    return !records || recordsInRange(static_cast<const QsRecordFigure&>(figure));
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
        const std::int64_t d = distance(landata_->textEntry(i).charHeight, height);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

int HpglConverter::convertPolyline(std::unique_ptr<QsPolyline> line, int pen) {
    if (line->usedCount() == 0 || !moveByOffset(*line)) return 0;
    CreatePolylineCommand command(sheet_, std::move(line), penTable_.colourOf(pen),
                                  defaultLineStyle(), defaultLineWidth());
    return command.execute();
}

int HpglConverter::convertPolygon(std::unique_ptr<QsPolylineSet> polygon, int pen, bool filled) {
    if (polygon->usedCount() == 0 || !moveByOffset(*polygon)) return 0;
    const int width = widthIndex(polygon->lineWidth());
    CreatePolygonCommand command(sheet_, std::move(polygon), penTable_.colourOf(pen),
                                 defaultLineStyle(), width, filled, penTable_.styleOf(pen));
    return command.execute();
}

int HpglConverter::convertText(QsText& text, int pen) {
    if (!moveByOffset(text)) return 0;
    CreateTextCommand command(sheet_, text.position, text.stringView(), fontIndex(text.height),
                              penTable_.colourOf(pen), text.justification, text.path, text.angle);
    return command.execute();
}
