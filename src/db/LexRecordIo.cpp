#include "db/LexRecordIo.h"

#include <cstring>
#include <string_view>

#include "base/DecimalFormat.h"

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

// Whether two arcs are the same: points, direction, radius and flags.
bool sameArc(const QsArc& a, const QsArc& b) {
    return a.start == b.start && a.end == b.end && a.toCentre == b.toCentre &&
           a.radius == b.radius && a.flags == b.flags;
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

bool readArcValues(TokenFile& file, LexArcAsRead& values) {
    if (!file.readLong(values.cx) || !file.readLong(values.cy) || !file.readLong(values.radius) ||
        !file.readDouble(values.startAngle) || !file.readDouble(values.endAngle) ||
        !file.readSigned(values.code) || values.radius < 0) {
        return false;
    }
    values.arc = lexArcFromFile(values.cx, values.cy, values.radius, values.startAngle,
                                values.endAngle, values.code);
    return true;
}

void writeArcValues(TokenFile& file, const QsArc& arc, const LexArcAsRead* asRead) {
    if (asRead != nullptr && sameArc(asRead->arc, arc)) {
        file.writeLong(asRead->cx).space().writeLong(asRead->cy).space();
        file.writeLong(asRead->radius).space().writeDouble(asRead->startAngle).space();
        file.writeDouble(asRead->endAngle).space().writeSigned(asRead->code);
        return;
    }
    const QsPoint c = arc.centrePoint();
    file.writeLong(c.x).space().writeLong(c.y).space().writeLong(arc.radius).space();
    file.writeDouble(arc.startAngle()).space().writeDouble(arc.endAngle()).space();
    file.writeSigned(orientationCode(arc.flags));
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

int writeVertexBlock(TokenFile& file, const QsPolyRecord* records, int count,
                     const LexBlockArcs* arcs) {
    // The arcs as read are in record order, as the arcs of the block are met.
    std::size_t next = 0;
    const std::size_t arcsRead = arcs != nullptr ? arcs->size() : 0;
    file.writeString("{").endLine();
    file.writeUnsigned(static_cast<std::uint32_t>(count)).endLine();
    for (int i = 0; i < count;) {
        const QsPolyRecord& r = records[i];
        if (r.isVertex()) {
            file.commit(lexFormatPointLine(file.reserve(kLexPointLineMax), r.data[0], r.data[1],
                                           r.isMarkedVertex(), r.data[2]));
            ++i;
        } else if (isWholeArc(records, count, i)) {
            const QsArc arc = lexArcOfRecords(records, i);
            while (next < arcsRead && (*arcs)[next].index < i)
                ++next;
            const LexArcAsRead* asRead =
                next < arcsRead && (*arcs)[next].index == i ? &(*arcs)[next].values : nullptr;
            file.writeString("$Arc ");
            writeArcValues(file, arc, asRead);
            file.endLine();
            i += 3;
        } else {
            file.writeString("$Dummy").endLine();
            ++i;
        }
    }
    file.writeString("}").endLine();
    return 1;
}

QsArc lexArcOfRecords(const QsPolyRecord* records, int i) {
    const QsPolyRecord& r = records[i];
    QsArc arc;
    arc.start = QsPoint(records[i + 1].data[0], records[i + 1].data[1]);
    arc.end = QsPoint(records[i + 2].data[0], records[i + 2].data[1]);
    arc.toCentre = QsEVector(r.data[0], r.data[1]);
    arc.radius = r.data[2];
    arc.flags = r.low();
    return arc;
}

bool lexArcStillAsRead(const QsPolyRecord* records, int count, const LexBlockArc& arc) {
    return arc.index >= 0 && isWholeArc(records, count, arc.index) &&
           sameArc(arc.values.arc, lexArcOfRecords(records, arc.index));
}

int writeVertexBlock(TokenFile& file, const QsRecordFigure* figure, const LexBlockArcs* arcs) {
    if (figure == nullptr) return writeVertexBlock(file, nullptr, 0);
    return writeVertexBlock(file, figure->records(), figure->usedCount(), arcs);
}

bool readVertexBlock(TokenFile& file, std::vector<QsPolyRecord>& records, LexBlockArcs* arcs) {
    records.clear();
    if (arcs != nullptr) arcs->clear();
    std::uint32_t count = 0;
    if (!lexExpectOpen(file) || !file.readUnsigned(count)) return formatError();
    if (count > kMaxRecords) return formatError();
    // The block says how many records follow: one allocation of exactly that many.
    records.reserve(count);
    std::uint32_t seen = 0;
    std::string_view word;
    for (;;) {
        if (!file.readTokenView(word)) return formatError();
        if (word == "$Point") {
            std::int32_t v[3];
            if (!file.readLongs(v, 3)) return formatError();
            if (seen + 1 > count) return formatError();
            records.push_back(v[2] != 0 ? QsPolyRecord(kRecMarkedVertex, v[0], v[1], v[2])
                                        : QsPolyRecord(kRecVertex, v[0], v[1], 0));
            seen += 1;
        } else if (word == "}") {
            break;
        } else if (word == "$Arc") {
            LexBlockArc read;
            if (!readArcValues(file, read.values) || seen + 3 > count) return formatError();
            read.index = static_cast<int>(records.size());
            auto three = makeArcRecords(read.values.arc);
            records.insert(records.end(), three.begin(), three.end());
            if (arcs != nullptr) arcs->push_back(std::move(read));
            seen += 3;
        } else if (word == "$Dummy") {
            if (seen + 1 > count) return formatError();
            records.push_back(QsPolyRecord(kRecFurther, 0, 0, 0));
            seen += 1;
        } else {
            return formatError();
        }
    }
    return seen == count ? true : formatError();
}
