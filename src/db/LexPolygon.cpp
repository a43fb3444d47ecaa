#include "db/LexPolygon.h"

#include <new>
#include <vector>

#include "base/ErrorRecord.h"
#include "db/LexReadContext.h"
#include "db/LexRecordIo.h"
#include "db/TokenFile.h"

LexPolygon::LexPolygon() {
    attr_ = 1u | kFilled;
}

LexPolygon::LexPolygon(const QsPolygon& geometry) : LexPolygon() {
    try {
        geometry_ = std::make_unique<QsPolygon>(geometry);
    } catch (const std::bad_alloc&) {
        recordError(kLexErrorNoMemory, kSeverityError);
    }
    updateBox();
}

LexPolygon::LexPolygon(const QsPolylineSet& outline) : LexPolygon() {
    try {
        geometry_ = std::make_unique<QsPolygon>(outline);
    } catch (const std::bad_alloc&) {
        recordError(kLexErrorNoMemory, kSeverityError);
    }
    updateBox();
}

LexPolygon::~LexPolygon() = default;

LexPolygon::LexPolygon(const LexPolygon& other) : LexSheetObject(other), attr2_(other.attr2_) {
    if (other.geometry_) geometry_ = std::make_unique<QsPolygon>(*other.geometry_);
    properties_.copyFrom(other.properties_);
    boxes_.copyFrom(other.boxes_);
}

std::unique_ptr<LexObject> LexPolygon::clone() const {
    return std::unique_ptr<LexObject>(new LexPolygon(*this));
}

bool LexPolygon::forEachOwned(const std::function<bool(LexObject&)>& fn) {
    return properties_.forEach(fn) || boxes_.forEach(fn);
}

void LexPolygon::setGeometry(std::unique_ptr<QsPolygon> geometry) {
    geometry_ = std::move(geometry);
    updateBox();
}

void LexPolygon::updateBox() {
    // The holes lie inside the outline: the outline alone gives the box.
    QsBox box;
    if (geometry_ && geometry_->QsRecordFigure::getBox(box)) {
        box_ = box;
    } else {
        box_ = QsBox();
    }
}

int LexPolygon::move(const QsPoint& delta) {
    if (!geometry_) return 1;
    for (std::int64_t v : {static_cast<std::int64_t>(box_.x1) + delta.x,
                           static_cast<std::int64_t>(box_.x2) + delta.x,
                           static_cast<std::int64_t>(box_.y1) + delta.y,
                           static_cast<std::int64_t>(box_.y2) + delta.y}) {
        if (!fitsInt32(v)) return 0;
    }
    geometry_->move(delta);
    updateBox();
    return 1;
}

int LexPolygon::write(TokenFile& file) {
    file.writeString("{").endLine();
    writeIdLine(file);
    file.writeUnsigned(attr_ & 1u).space().writeUnsigned(isFilled() ? 1 : 0).space();
    file.writeSigned(rawLineStyle()).space().writeSigned(rawFillStyle()).space();
    file.writeSigned(rawColor()).space().writeSigned(rawLineWidth()).endLine();
    if (geometry_) {
        writeVertexBlock(file, geometry_->records(), geometry_->usedCount());
    } else {
        writeVertexBlock(file, nullptr, 0);
    }
    file.writeString("{").endLine();
    int holes = geometry_ ? static_cast<int>(geometry_->holes().size()) : 0;
    file.writeSigned(holes).endLine();
    for (int i = 0; i < holes; ++i) {
        const QsPolylineSet& hole = geometry_->holes()[static_cast<std::size_t>(i)];
        writeVertexBlock(file, hole.records(), hole.usedCount());
    }
    file.writeString("}").endLine();
    return writeOptionalListsAndClose(file, properties_, boxes_);
}

std::uint32_t LexPolygon::read(TokenFile& file, LexReadContext& context) {
    if (!lexExpectOpen(file)) return 0;
    std::uint32_t id = readIdLine(file, context);
    if (id == 0) return 0;
    std::uint32_t visible = 0, filled = 0;
    std::int32_t style = 0, fill = 0, color = 0, width = 0;
    if (!file.readUnsigned(visible) || !file.readUnsigned(filled) || !file.readSigned(style) ||
        !file.readSigned(fill) || !file.readSigned(color) || !file.readSigned(width)) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return 0;
    }
    attr_ = (visible != 0 ? 1u : 0u) | (filled != 0 ? kFilled : 0u);
    attr2_ = 0;
    setLineStyle(style);
    setFillStyle(fill);
    setColor(color);
    setLineWidth(width);
    std::vector<QsPolyRecord> records;
    if (!readVertexBlock(file, records)) return 0;
    auto polygon = std::make_unique<QsPolygon>(
        QsPolylineSet(records.data(), static_cast<int>(records.size())));
    std::int32_t holes = 0;
    if (!lexExpectOpen(file)) return 0;
    if (!file.readSigned(holes) || holes < 0) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return 0;
    }
    for (std::int32_t i = 0; i < holes; ++i) {
        if (!readVertexBlock(file, records)) return 0;
        polygon->holes().emplace_back(records.data(), static_cast<int>(records.size()));
    }
    if (!lexExpectToken(file, "}")) return 0;
    geometry_ = std::move(polygon);
    if (!readOptionalListsAndClose(file, context, properties_, boxes_)) return 0;
    updateBox();
    return id;
}
