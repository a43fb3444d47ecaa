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

LexArc::LexArc(const LexArc& other) : LexStrokedObject(other), arc_(other.arc_) {}

std::unique_ptr<LexObject> LexArc::clone() const {
    return std::unique_ptr<LexObject>(new LexArc(*this));
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
    if (!boxMoveFits(delta)) return 0;
    arc_.move(delta);
    updateBox();
    return 1;
}

int LexArc::write(TokenFile& file) {
    writeRecordHead(file);
    writeStrokeLine(file);
    QsPoint c = arc_.centrePoint();
    std::int32_t code =
        arc_.isFullCircle() ? 2 : static_cast<std::int32_t>(arc_.flags & ~std::uint16_t{0x0004});
    file.writeLong(c.x).space().writeLong(c.y).space().writeLong(arc_.radius).space();
    file.writeDouble(arc_.startAngle()).space().writeDouble(arc_.endAngle()).space();
    file.writeSigned(code).endLine();
    return writeOptionalListsAndClose(file, properties_, boxes_);
}

std::uint32_t LexArc::read(TokenFile& file, LexReadContext& context) {
    std::uint32_t id = readRecordHead(file, context);
    if (id == 0 || !readStrokeLine(file)) return 0;
    std::int32_t cx = 0, cy = 0, r = 0, code = 0;
    double a1 = 0.0, a2 = 0.0;
    if (!file.readLong(cx) || !file.readLong(cy) || !file.readLong(r) || !file.readDouble(a1) ||
        !file.readDouble(a2) || !file.readSigned(code) || r < 0) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return 0;
    }
    arc_ = lexArcFromFile(cx, cy, r, a1, a2, code);
    if (!readOptionalListsAndClose(file, context, properties_, boxes_)) return 0;
    updateBox();
    return id;
}
