#include "db/LexPolyline.h"

#include <new>
#include <vector>

#include "base/ErrorRecord.h"
#include "db/LexReadContext.h"
#include "db/LexRecordIo.h"
#include "db/TokenFile.h"

namespace {

// The box of a record list moved by delta stays within the 32-bit range.
bool movedBoxFits(const QsBox& box, const QsPoint& delta) {
    return fitsInt32(static_cast<std::int64_t>(box.x1) + delta.x) &&
           fitsInt32(static_cast<std::int64_t>(box.x2) + delta.x) &&
           fitsInt32(static_cast<std::int64_t>(box.y1) + delta.y) &&
           fitsInt32(static_cast<std::int64_t>(box.y2) + delta.y);
}

}  // namespace

LexPolyline::LexPolyline() {
    attr_ = 1u;
}

LexPolyline::LexPolyline(const QsPolyline& geometry) : LexPolyline() {
    try {
        geometry_ = std::make_unique<QsPolyline>(geometry);
    } catch (const std::bad_alloc&) {
        recordError(kLexErrorNoMemory, kSeverityError);
    }
    updateBox();
}

LexPolyline::~LexPolyline() = default;

LexPolyline::LexPolyline(const LexPolyline& other) : LexSheetObject(other) {
    if (other.geometry_) geometry_ = std::make_unique<QsPolyline>(*other.geometry_);
    properties_.copyFrom(other.properties_);
    boxes_.copyFrom(other.boxes_);
}

std::unique_ptr<LexObject> LexPolyline::clone() const {
    return std::unique_ptr<LexObject>(new LexPolyline(*this));
}

bool LexPolyline::forEachOwned(const std::function<bool(LexObject&)>& fn) {
    return properties_.forEach(fn) || boxes_.forEach(fn);
}

void LexPolyline::setGeometry(std::unique_ptr<QsPolyline> geometry) {
    geometry_ = std::move(geometry);
    updateBox();
}

void LexPolyline::updateBox() {
    QsBox box;
    if (geometry_ && geometry_->getBox(box)) {
        box_ = box;
    } else {
        box_ = QsBox();
    }
}

int LexPolyline::move(const QsPoint& delta) {
    if (!geometry_) return 1;
    if (!movedBoxFits(box_, delta)) return 0;
    geometry_->move(delta);
    updateBox();
    return 1;
}

int LexPolyline::write(TokenFile& file) {
    file.writeString("{").endLine();
    writeIdLine(file);
    file.writeUnsigned(attr_ & 1u).space().writeSigned(rawLineStyle()).space();
    file.writeSigned(rawColor()).space().writeSigned(rawLineWidth()).endLine();
    if (geometry_) {
        writeVertexBlock(file, geometry_->records(), geometry_->usedCount());
    } else {
        writeVertexBlock(file, nullptr, 0);
    }
    return writeOptionalListsAndClose(file, properties_, boxes_);
}

std::uint32_t LexPolyline::read(TokenFile& file, LexReadContext& context) {
    if (!lexExpectOpen(file)) return 0;
    std::uint32_t id = readIdLine(file, context);
    if (id == 0) return 0;
    std::uint32_t visible = 0;
    std::int32_t style = 0, color = 0, width = 0;
    if (!file.readUnsigned(visible) || !file.readSigned(style) || !file.readSigned(color) ||
        !file.readSigned(width)) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return 0;
    }
    attr_ = visible != 0 ? 1u : 0u;
    setLineStyle(style);
    setColor(color);
    setLineWidth(width);
    std::vector<QsPolyRecord> records;
    if (!readVertexBlock(file, records)) return 0;
    geometry_ = std::make_unique<QsPolyline>(records.data(), static_cast<int>(records.size()));
    if (!readOptionalListsAndClose(file, context, properties_, boxes_)) return 0;
    updateBox();
    return id;
}
