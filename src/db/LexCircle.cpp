#include "db/LexCircle.h"

#include "base/ErrorRecord.h"
#include "db/LexReadContext.h"
#include "db/LexRecordIo.h"
#include "db/TokenFile.h"

LexCircle::LexCircle() {
    attr_ = 1u | kFilled;
    updateBox();
}

LexCircle::LexCircle(const QsCircle& geometry) : LexCircle() {
    setGeometry(geometry);
}

LexCircle::~LexCircle() = default;

LexCircle::LexCircle(const LexCircle& other)
    : LexSheetObject(other), attr2_(other.attr2_), circle_(other.circle_) {
    properties_.copyFrom(other.properties_);
    boxes_.copyFrom(other.boxes_);
}

std::unique_ptr<LexObject> LexCircle::clone() const {
    return std::unique_ptr<LexObject>(new LexCircle(*this));
}

bool LexCircle::forEachOwned(const std::function<bool(LexObject&)>& fn) {
    return properties_.forEach(fn) || boxes_.forEach(fn);
}

void LexCircle::setGeometry(const QsCircle& circle) {
    circle_ = circle;
    updateBox();
}

void LexCircle::updateBox() {
    std::int64_t r = circle_.radius < 0 ? 0 : circle_.radius;
    box_ = QsBox(clampToInt32(circle_.centre.x - r), clampToInt32(circle_.centre.y - r),
                 clampToInt32(circle_.centre.x + r), clampToInt32(circle_.centre.y + r));
}

int LexCircle::move(const QsPoint& delta) {
    std::int64_t r = circle_.radius < 0 ? 0 : circle_.radius;
    std::int64_t x = static_cast<std::int64_t>(circle_.centre.x) + delta.x;
    std::int64_t y = static_cast<std::int64_t>(circle_.centre.y) + delta.y;
    if (!fitsInt32(x - r) || !fitsInt32(x + r) || !fitsInt32(y - r) || !fitsInt32(y + r)) return 0;
    circle_.centre = QsPoint(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
    updateBox();
    return 1;
}

int LexCircle::write(TokenFile& file) {
    file.writeString("{").endLine();
    writeIdLine(file);
    file.writeUnsigned(attr_ & 1u).space().writeUnsigned(isFilled() ? 1 : 0).space();
    file.writeSigned(lexFieldRaw(attr_, attr_, kLineStyle)).space();
    file.writeSigned(lexFieldRaw(attr2_, attr_, kFillStyle)).space();
    file.writeSigned(lexFieldRaw(attr_, attr_, kColor)).space();
    file.writeSigned(lexFieldRaw(attr_, attr_, kLineWidth)).endLine();
    file.writeLong(circle_.centre.x).space().writeLong(circle_.centre.y).space();
    file.writeLong(circle_.radius).endLine();
    return writeOptionalListsAndClose(file, properties_, boxes_);
}

std::uint32_t LexCircle::read(TokenFile& file, LexReadContext& context) {
    if (!lexExpectOpen(file)) return 0;
    std::uint32_t id = readIdLine(file, context);
    if (id == 0) return 0;
    std::uint32_t visible = 0, filled = 0;
    std::int32_t style = 0, fill = 0, color = 0, width = 0, cx = 0, cy = 0, r = 0;
    if (!file.readUnsigned(visible) || !file.readUnsigned(filled) || !file.readSigned(style) ||
        !file.readSigned(fill) || !file.readSigned(color) || !file.readSigned(width) ||
        !file.readLong(cx) || !file.readLong(cy) || !file.readLong(r) || r < 0) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return 0;
    }
    attr_ = (visible != 0 ? 1u : 0u) | (filled != 0 ? kFilled : 0u);
    attr2_ = 0;
    setLineStyle(style);
    setFillStyle(fill);
    setColor(color);
    setLineWidth(width);
    circle_ = QsCircle(QsPoint(cx, cy), r);
    if (!readOptionalListsAndClose(file, context, properties_, boxes_)) return 0;
    updateBox();
    return id;
}
