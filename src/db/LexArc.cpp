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

LexArc::LexArc(const LexArc& other)
    : LexStrokedObject(other), arc_(other.arc_), asRead_(other.asRead_) {}

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
    writeStrokeLine(file, attr_);
    writeArcValues(file, arc_, asRead_ ? &*asRead_ : nullptr);
    file.endLine();
    return writeOptionalListsAndClose(file, properties_, boxes_);
}

std::uint32_t LexArc::read(TokenFile& file, LexReadContext& context) {
    std::uint32_t id = readRecordHead(file, context);
    if (id == 0 || !readStrokeLine(file)) return 0;
    LexArcAsRead values;
    if (!readArcValues(file, values)) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return 0;
    }
    arc_ = values.arc;
    asRead_ = std::move(values);
    if (!readOptionalListsAndClose(file, context, properties_, boxes_)) return 0;
    updateBox();
    return id;
}
