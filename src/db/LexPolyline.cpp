#include "db/LexPolyline.h"

#include <vector>

#include "db/LexReadContext.h"
#include "db/LexRecordIo.h"
#include "db/TokenFile.h"

LexPolyline::LexPolyline() {
    attr_ = 1u;
}

LexPolyline::LexPolyline(const QsPolyline& geometry) : LexPolyline() {
    geometry_ = lexCopyGeometry<QsPolyline>(geometry);
    updateBox();
}

LexPolyline::~LexPolyline() = default;

LexPolyline::LexPolyline(const LexPolyline& other)
    : LexStrokedObject(other), arcsAsRead_(other.arcsAsRead_) {
    if (other.geometry_) geometry_ = std::make_unique<QsPolyline>(*other.geometry_);
}

std::unique_ptr<LexObject> LexPolyline::clone() const {
    return std::unique_ptr<LexObject>(new LexPolyline(*this));
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
    if (!boxMoveFits(delta)) return 0;
    geometry_->move(delta);
    updateBox();
    return 1;
}

void LexPolyline::writeRecordBody(TokenFile& file, std::uint32_t attr,
                                  const LexVertexBlock& block) {
    writeStrokeLine(file, attr);
    writeVertexBlock(file, block);
}

int LexPolyline::write(TokenFile& file) {
    writeRecordHead(file);
    LexVertexBlock block;
    if (geometry_) block = {geometry_->records(), geometry_->usedCount(), &arcsAsRead_};
    writeRecordBody(file, attr_, block);
    return writeOptionalListsAndClose(file, properties_, boxes_);
}

bool LexPolyline::readRecordBody(TokenFile& file, Body& body) {
    return readStrokeLine(file, body.attr) && readVertexBlock(file, body.records, &body.arcs);
}

long LexPolyline::Body::packInto(LexPackedObjects& packed, std::uint32_t id) const {
    return packed.addPolyline(attr, id, {records.data(), static_cast<int>(records.size()), &arcs});
}

void LexPolyline::setBody(Body&& body) {
    attr_ = body.attr;
    geometry_ = std::make_unique<QsPolyline>(std::move(body.records));
    arcsAsRead_ = std::move(body.arcs);
    updateBox();
}

std::uint32_t LexPolyline::read(TokenFile& file, LexReadContext& context) {
    std::uint32_t id = readRecordHead(file, context);
    Body body;
    if (id == 0 || !readRecordBody(file, body)) return 0;
    setBody(std::move(body));
    if (!readOptionalListsAndClose(file, context, properties_, boxes_)) return 0;
    return id;
}
