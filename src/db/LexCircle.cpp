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

LexCircle::LexCircle(const LexCircle& other) : LexFilledObject(other), circle_(other.circle_) {}

std::unique_ptr<LexObject> LexCircle::clone() const {
    return std::unique_ptr<LexObject>(new LexCircle(*this));
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
    writeRecordHead(file);
    writeFilledLine(file, attr_, attr2_);
    file.writeLong(circle_.centre.x).space().writeLong(circle_.centre.y).space();
    file.writeLong(circle_.radius).endLine();
    return writeOptionalListsAndClose(file, properties_, boxes_);
}

std::uint32_t LexCircle::read(TokenFile& file, LexReadContext& context) {
    std::uint32_t id = readRecordHead(file, context);
    if (id == 0 || !readFilledLine(file)) return 0;
    std::int32_t cx = 0, cy = 0, r = 0;
    if (!file.readLong(cx) || !file.readLong(cy) || !file.readLong(r) || r < 0) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return 0;
    }
    circle_ = QsCircle(QsPoint(cx, cy), r);
    if (!readOptionalListsAndClose(file, context, properties_, boxes_)) return 0;
    updateBox();
    return id;
}
