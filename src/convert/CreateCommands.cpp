#include "convert/CreateCommands.h"

#include <new>
#include <utility>

#include "base/ErrorRecord.h"
#include "db/LexPolygon.h"
#include "db/LexPolyline.h"
#include "db/LexSheet.h"
#include "db/LexText.h"
#include "geom/QsPolygon.h"
#include "geom/QsPolyline.h"
#include "geom/QsPolylineSet.h"

namespace {

// Objects are made without letting an allocation failure escape: null stands for "not made".
template <class T, class... Args>
std::unique_ptr<T> makeNoThrow(Args&&... args) {
    try {
        return std::make_unique<T>(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<LexPolygon> polygonFrom(std::unique_ptr<QsPolylineSet> geometry) {
    if (!geometry) return nullptr;
    std::unique_ptr<LexPolygon> polygon = makeNoThrow<LexPolygon>();
    if (!polygon) return nullptr;
    if (geometry->typeCode() == kQsTypePolygon) {
        // A polygon keeps its holes; it is taken over as it is.
        polygon->setGeometry(
            std::unique_ptr<QsPolygon>(static_cast<QsPolygon*>(geometry.release())));
    } else {
        std::unique_ptr<QsPolygon> outline = makeNoThrow<QsPolygon>(*geometry);
        if (!outline) return nullptr;
        polygon->setGeometry(std::move(outline));
    }
    return polygon;
}

std::unique_ptr<QsPolylineSet> copyOf(const QsPolylineSet& geometry) {
    if (geometry.typeCode() == kQsTypePolygon)
        return makeNoThrow<QsPolygon>(static_cast<const QsPolygon&>(geometry));
    return makeNoThrow<QsPolylineSet>(geometry);
}

}  // namespace

CreateObjectCommand::~CreateObjectCommand() = default;

void CreateObjectCommand::prepare(const DbHandle& sheet, std::unique_ptr<LexSheetObject> object) {
    state_ = kCmdStateNotReady;
    sheet_ = sheet.sheet();
    if (sheet_ == nullptr) {
        recordError(kLexErrorMisuse, kSeverityMinor);
        return;
    }
    if (!object || !object->isValid()) {
        recordError(kLexErrorNoMemory, kSeverityError);
        return;
    }
    owned_ = std::move(object);
    state_ = kCmdStateReady;
}

int CreateObjectCommand::apply() {
    if (sheet_ == nullptr || !owned_) return 0;
    // The object joins the sheet's settings as an added object would, so that its box (a
    // text's depends on its font's metrics) is the one the sheet sees.
    owned_->setOwner(sheet_);
    owned_->attach(sheet_->environment());
    const long index = sheet_->addPacked(*owned_);
    if (index < 0) return 0;
    packedIndex_ = static_cast<std::size_t>(index);
    return 1;
}

int CreateObjectCommand::takeBack() {
    if (sheet_ == nullptr || !owned_) return 0;
    return sheet_->removePacked(owned_->typeCode(), packedIndex_) ? 1 : 0;
}

CreatePolylineCommand::CreatePolylineCommand(const DbHandle& sheet,
                                             std::unique_ptr<QsPolyline> geometry, int colour,
                                             int lineStyle, int lineWidth) {
    std::unique_ptr<LexPolyline> line;
    if (geometry) line = makeNoThrow<LexPolyline>();
    if (line) {
        line->setGeometry(std::move(geometry));
        if (line->isValid()) {
            line->setColor(colour);
            line->setLineStyle(lineStyle);
            line->setLineWidth(lineWidth);
        }
    }
    prepare(sheet, std::move(line));
}

CreatePolylineCommand::CreatePolylineCommand(const DbHandle& sheet, const QsPolyline& geometry,
                                             int colour, int lineStyle, int lineWidth)
    : CreatePolylineCommand(sheet, makeNoThrow<QsPolyline>(geometry), colour, lineStyle,
                            lineWidth) {}

CreatePolygonCommand::CreatePolygonCommand(const DbHandle& sheet,
                                           std::unique_ptr<QsPolylineSet> geometry, int colour,
                                           int lineStyle, int lineWidth, bool filled,
                                           int fillStyle) {
    std::unique_ptr<LexPolygon> polygon = polygonFrom(std::move(geometry));
    if (polygon && polygon->isValid()) {
        polygon->setColor(colour);
        polygon->setLineStyle(lineStyle);
        polygon->setLineWidth(lineWidth);
        polygon->setFilled(filled);
        polygon->setFillStyle(fillStyle);
    }
    prepare(sheet, std::move(polygon));
}

CreatePolygonCommand::CreatePolygonCommand(const DbHandle& sheet, const QsPolylineSet& geometry,
                                           int colour, int lineStyle, int lineWidth, bool filled,
                                           int fillStyle)
    : CreatePolygonCommand(sheet, copyOf(geometry), colour, lineStyle, lineWidth, filled,
                           fillStyle) {}

CreateTextCommand::CreateTextCommand(const DbHandle& sheet, const QsPoint& position,
                                     std::string_view string, int font, int colour,
                                     int justification, int path, double rotation) {
    // Built in one step: the string is measured once, not once per attribute.
    prepare(sheet,
            makeNoThrow<LexText>(position, string, font, colour, justification, path, rotation));
}
