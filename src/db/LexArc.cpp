#include "db/LexArc.h"

#include "base/ErrorRecord.h"
#include "db/LexReadContext.h"
#include "db/LexRecordIo.h"
#include "db/TokenFile.h"

LexArc::LexArc() {
    attr_ = 1u;
    updateBox();
}

LexArc::LexArc(const QsArc& geometry) : LexArc() {
    setGeometry(geometry);
}

LexArc::~LexArc() = default;

LexArc::LexArc(const LexArc& other) : LexSheetObject(other), arc_(other.arc_) {
    properties_.copyFrom(other.properties_);
    boxes_.copyFrom(other.boxes_);
}

std::unique_ptr<LexObject> LexArc::clone() const {
    return std::unique_ptr<LexObject>(new LexArc(*this));
}

bool LexArc::forEachOwned(const std::function<bool(LexObject&)>& fn) {
    return properties_.forEach(fn) || boxes_.forEach(fn);
}

void LexArc::setGeometry(const QsArc& arc) {
    arc_ = arc;
    updateBox();
}

void LexArc::updateBox() {
    QsBox box;
    box_ = arc_.getBox(box) ? box : QsBox(arc_.start, arc_.start);
}

int LexArc::move(const QsPoint& delta) {
    for (std::int64_t v : {static_cast<std::int64_t>(box_.x1) + delta.x,
                           static_cast<std::int64_t>(box_.x2) + delta.x,
                           static_cast<std::int64_t>(box_.y1) + delta.y,
                           static_cast<std::int64_t>(box_.y2) + delta.y}) {
        if (!fitsInt32(v)) return 0;
    }
    arc_.move(delta);
    updateBox();
    return 1;
}

int LexArc::write(TokenFile& file) {
    file.writeString("{").endLine();
    writeIdLine(file);
    file.writeUnsigned(attr_ & 1u).space();
    file.writeSigned(lexFieldRaw(attr_, attr_, kLineStyle)).space();
    file.writeSigned(lexFieldRaw(attr_, attr_, kColor)).space();
    file.writeSigned(lexFieldRaw(attr_, attr_, kLineWidth)).endLine();
    QsPoint c = arc_.centrePoint();
    std::int32_t code =
        arc_.isFullCircle() ? 2 : static_cast<std::int32_t>(arc_.flags & ~std::uint16_t{0x0004});
    file.writeLong(c.x).space().writeLong(c.y).space().writeLong(arc_.radius).space();
    file.writeDouble(arc_.startAngle()).space().writeDouble(arc_.endAngle()).space();
    file.writeSigned(code).endLine();
    return writeOptionalListsAndClose(file, properties_, boxes_);
}

std::uint32_t LexArc::read(TokenFile& file, LexReadContext& context) {
    if (!lexExpectOpen(file)) return 0;
    std::uint32_t id = readIdLine(file, context);
    if (id == 0) return 0;
    std::uint32_t visible = 0;
    std::int32_t style = 0, color = 0, width = 0, cx = 0, cy = 0, r = 0, code = 0;
    double a1 = 0.0, a2 = 0.0;
    if (!file.readUnsigned(visible) || !file.readSigned(style) || !file.readSigned(color) ||
        !file.readSigned(width) || !file.readLong(cx) || !file.readLong(cy) || !file.readLong(r) ||
        !file.readDouble(a1) || !file.readDouble(a2) || !file.readSigned(code) || r < 0) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return 0;
    }
    attr_ = visible != 0 ? 1u : 0u;
    setLineStyle(style);
    setColor(color);
    setLineWidth(width);
    arc_ = lexArcFromFile(cx, cy, r, a1, a2, code);
    if (!readOptionalListsAndClose(file, context, properties_, boxes_)) return 0;
    updateBox();
    return id;
}
