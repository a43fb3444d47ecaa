#include "db/LexRecordIo.h"

#include "db/LexPropBox.h"
#include "db/LexProperty.h"
#include "geom/QsAngle.h"
#include "geom/QsArc.h"
#include "geom/QsPolyRecord.h"
#include "geom/QsRecordFigure.h"

namespace {

constexpr const char* kPropertyListMarker = "$LexPropertyList";
constexpr const char* kPropBoxListMarker = "$LexPropBoxList";

// A polyline holds at most this many records (its slot count is a 16-bit number).
constexpr std::uint32_t kMaxRecords = 65535;

bool formatError() {
    recordError(kLexErrorFormat, kSeverityFormat);
    return false;
}

// Orientation code of an arc line: 2 for a full circle, else the flags without bit 2.
std::int32_t orientationCode(std::uint16_t flags) {
    if ((flags & QsArc::kFullCircle) != 0) return 2;
    return static_cast<std::int32_t>(flags & ~std::uint16_t{0x0004});
}

void writeArcLine(TokenFile& file, const QsArc& arc) {
    QsPoint c = arc.centrePoint();
    file.writeString("$Arc ").writeLong(c.x).space().writeLong(c.y).space();
    file.writeLong(arc.radius).space().writeDouble(arc.startAngle()).space();
    file.writeDouble(arc.endAngle()).space().writeSigned(orientationCode(arc.flags)).endLine();
}

// True when records i, i+1 and i+2 form one arc.
bool isWholeArc(const QsPolyRecord* records, int count, int i) {
    return i + 2 < count && records[i].isArcFirst() && records[i + 1].isArcSecond() &&
           records[i + 2].isArcThird();
}

}  // namespace

QsArc lexArcFromFile(std::int32_t cx, std::int32_t cy, std::int32_t radius, double a1, double a2,
                     std::int32_t code) {
    // The kernel rebuilds the arc so that writing it again gives the same angles: the end
    // point is taken along the arc's own centre, and a half-turn rounded outwards to six
    // decimals keeps the side it was written on.
    std::uint16_t flags =
        code == 2 ? QsArc::kFullCircle : static_cast<std::uint16_t>(code & 0xFFFF);
    return QsArc::fromWrittenAngles(QsPoint(cx, cy), radius, a1, a2, flags);
}

int writePropertyLists(TokenFile& file, const LexPropertyList& properties,
                       const LexPropBoxList& boxes) {
    file.writeString(kPropertyListMarker).endLine();
    if (!writeLexList(file, properties)) return 0;
    file.writeString(kPropBoxListMarker).endLine();
    return writeLexList(file, boxes);
}

bool readPropertyLists(TokenFile& file, LexReadContext& context, LexPropertyList& properties,
                       LexPropBoxList& boxes, bool markerRead) {
    if (!markerRead && !lexExpectToken(file, kPropertyListMarker)) return false;
    if (!readLexList(file, context, properties)) return false;
    if (!lexExpectToken(file, kPropBoxListMarker)) return false;
    return readLexList(file, context, boxes);
}

bool readOptionalListsAndClose(TokenFile& file, LexReadContext& context,
                               LexPropertyList& properties, LexPropBoxList& boxes) {
    std::string token;
    if (!file.readToken(token)) return formatError();
    if (token == kPropertyListMarker) {
        if (!readPropertyLists(file, context, properties, boxes, true)) return false;
        return lexExpectToken(file, "}");
    }
    return token == "}" ? true : formatError();
}

int writeOptionalListsAndClose(TokenFile& file, const LexPropertyList& properties,
                               const LexPropBoxList& boxes) {
    if (!properties.empty() && !writePropertyLists(file, properties, boxes)) return 0;
    file.writeString("}").endLine();
    return 1;
}

int writeVertexBlock(TokenFile& file, const QsPolyRecord* records, int count) {
    file.writeString("{").endLine();
    file.writeUnsigned(static_cast<std::uint32_t>(count)).endLine();
    for (int i = 0; i < count;) {
        const QsPolyRecord& r = records[i];
        if (r.isVertex()) {
            // Only a marked vertex carries a rounding radius; widths are not part of the file.
            std::int32_t radius = r.isMarkedVertex() ? r.data[2] : 0;
            file.writeString("$Point ").writeLong(r.data[0]).space().writeLong(r.data[1]);
            file.space().writeLong(radius).endLine();
            ++i;
        } else if (isWholeArc(records, count, i)) {
            QsArc arc;
            arc.start = QsPoint(records[i + 1].data[0], records[i + 1].data[1]);
            arc.end = QsPoint(records[i + 2].data[0], records[i + 2].data[1]);
            arc.toCentre = QsEVector(r.data[0], r.data[1]);
            arc.radius = r.data[2];
            arc.flags = r.low();
            writeArcLine(file, arc);
            i += 3;
        } else {
            file.writeString("$Dummy").endLine();
            ++i;
        }
    }
    file.writeString("}").endLine();
    return 1;
}

int writeVertexBlock(TokenFile& file, const QsRecordFigure* figure) {
    if (figure == nullptr) return writeVertexBlock(file, nullptr, 0);
    return writeVertexBlock(file, figure->records(), figure->usedCount());
}

bool readVertexBlock(TokenFile& file, std::vector<QsPolyRecord>& records) {
    records.clear();
    std::uint32_t count = 0;
    if (!lexExpectOpen(file) || !file.readUnsigned(count)) return formatError();
    if (count > kMaxRecords) return formatError();
    std::string token;
    std::uint32_t seen = 0;
    for (;;) {
        if (!file.readToken(token)) return formatError();
        if (token == "}") break;
        if (token == "$Point") {
            std::int32_t x = 0, y = 0, r = 0;
            if (!file.readLong(x) || !file.readLong(y) || !file.readLong(r)) return formatError();
            if (seen + 1 > count) return formatError();
            records.push_back(r != 0 ? QsPolyRecord(kRecMarkedVertex, x, y, r)
                                     : QsPolyRecord(kRecVertex, x, y, 0));
            seen += 1;
        } else if (token == "$Arc") {
            std::int32_t cx = 0, cy = 0, radius = 0, code = 0;
            double a1 = 0.0, a2 = 0.0;
            if (!file.readLong(cx) || !file.readLong(cy) || !file.readLong(radius) ||
                !file.readDouble(a1) || !file.readDouble(a2) || !file.readSigned(code)) {
                return formatError();
            }
            if (radius < 0 || seen + 3 > count) return formatError();
            auto three = makeArcRecords(lexArcFromFile(cx, cy, radius, a1, a2, code));
            records.insert(records.end(), three.begin(), three.end());
            seen += 3;
        } else if (token == "$Dummy") {
            if (seen + 1 > count) return formatError();
            records.push_back(QsPolyRecord(kRecFurther, 0, 0, 0));
            seen += 1;
        } else {
            return formatError();
        }
    }
    return seen == count ? true : formatError();
}
