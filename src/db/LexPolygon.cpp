#include "db/LexPolygon.h"

#include <vector>

#include "base/ErrorRecord.h"
#include "db/LexReadContext.h"
#include "db/LexRecordIo.h"
#include "db/TokenFile.h"

LexPolygon::LexPolygon() {
    attr_ = 1u | kFilled;
}

LexPolygon::LexPolygon(const QsPolygon& geometry) : LexPolygon() {
    geometry_ = lexCopyGeometry<QsPolygon>(geometry);
    updateBox();
}

LexPolygon::LexPolygon(const QsPolylineSet& outline) : LexPolygon() {
    geometry_ = lexCopyGeometry<QsPolygon>(outline);
    updateBox();
}

LexPolygon::~LexPolygon() = default;

LexPolygon::LexPolygon(const LexPolygon& other)
    : LexFilledObject(other),
      outlineArcsAsRead_(other.outlineArcsAsRead_),
      holeArcsAsRead_(other.holeArcsAsRead_) {
    if (other.geometry_) geometry_ = std::make_unique<QsPolygon>(*other.geometry_);
}

std::unique_ptr<LexObject> LexPolygon::clone() const {
    return std::unique_ptr<LexObject>(new LexPolygon(*this));
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
    if (!boxMoveFits(delta)) return 0;
    geometry_->move(delta);
    updateBox();
    return 1;
}

void LexPolygon::writeRecordBody(TokenFile& file, std::uint32_t attr, std::uint32_t attr2,
                                 const LexVertexBlock& outline, const LexVertexBlock* holes,
                                 std::size_t holeCount) {
    writeFilledLine(file, attr, attr2);
    writeVertexBlock(file, outline);
    file.writeString("{").endLine();
    file.writeSigned(static_cast<std::int32_t>(holeCount)).endLine();
    for (std::size_t h = 0; h < holeCount; ++h)
        writeVertexBlock(file, holes[h]);
    file.writeString("}").endLine();
}

int LexPolygon::write(TokenFile& file) {
    writeRecordHead(file);
    LexVertexBlock outline;
    std::vector<LexVertexBlock> holes;
    if (geometry_) {
        outline = {geometry_->records(), geometry_->usedCount(), &outlineArcsAsRead_};
        holes.reserve(geometry_->holes().size());
        for (std::size_t h = 0; h < geometry_->holes().size(); ++h) {
            const QsPolylineSet& hole = geometry_->holes()[h];
            holes.push_back({hole.records(), hole.usedCount(),
                             h < holeArcsAsRead_.size() ? &holeArcsAsRead_[h] : nullptr});
        }
    }
    writeRecordBody(file, attr_, attr2_, outline, holes.data(), holes.size());
    return writeOptionalListsAndClose(file, properties_, boxes_);
}

bool LexPolygon::readRecordBody(TokenFile& file, Body& body) {
    if (!readFilledLine(file, body.attr, body.attr2)) return false;
    if (!readVertexBlock(file, body.outline, &body.outlineArcs)) return false;
    std::int32_t holes = 0;
    if (!lexExpectOpen(file)) return false;
    if (!file.readSigned(holes) || holes < 0) {
        recordError(kLexErrorFormat, kSeverityFormat);
        return false;
    }
    // The buffers grow with the holes read, not with the count the file claims.
    body.holeCount = 0;
    for (std::int32_t i = 0; i < holes; ++i) {
        if (body.holes.size() == body.holeCount) {
            body.holes.emplace_back();
            body.holeArcs.emplace_back();
        }
        if (!readVertexBlock(file, body.holes[body.holeCount], &body.holeArcs[body.holeCount]))
            return false;
        ++body.holeCount;
    }
    return lexExpectToken(file, "}");
}

long LexPolygon::Body::packInto(LexPackedObjects& packed, std::uint32_t id) const {
    std::vector<LexVertexBlock> views;
    views.reserve(holeCount);
    for (std::size_t h = 0; h < holeCount; ++h)
        views.push_back({holes[h].data(), static_cast<int>(holes[h].size()), &holeArcs[h]});
    return packed.addPolygon(attr, attr2, id,
                             {outline.data(), static_cast<int>(outline.size()), &outlineArcs},
                             views.data(), views.size());
}

void LexPolygon::setBody(Body&& body) {
    attr_ = body.attr;
    attr2_ = body.attr2;
    auto polygon = std::make_unique<QsPolygon>(QsPolylineSet(std::move(body.outline)));
    holeArcsAsRead_.clear();
    for (std::size_t h = 0; h < body.holeCount; ++h) {
        polygon->holes().emplace_back(body.holes[h].data(), static_cast<int>(body.holes[h].size()));
        holeArcsAsRead_.push_back(std::move(body.holeArcs[h]));
    }
    outlineArcsAsRead_ = std::move(body.outlineArcs);
    geometry_ = std::move(polygon);
    updateBox();
}

std::uint32_t LexPolygon::read(TokenFile& file, LexReadContext& context) {
    std::uint32_t id = readRecordHead(file, context);
    Body body;
    if (id == 0 || !readRecordBody(file, body)) return 0;
    setBody(std::move(body));
    if (!readOptionalListsAndClose(file, context, properties_, boxes_)) return 0;
    return id;
}
