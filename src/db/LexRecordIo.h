// Shared pieces of the record readers and writers: generic object lists, the property list and
// property box list pair, and the vertex block of polylines and polygon outlines.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/DecimalFormat.h"
#include "base/ErrorRecord.h"
#include "db/LexArcAsRead.h"
#include "db/LexList.h"
#include "db/LexObject.h"
#include "db/LexReadContext.h"
#include "db/TokenFile.h"

class LexPropertyList;
class QsRecordFigure;
struct QsPolyRecord;

// Writes "{", each element as its class name and record, what writeMore writes (the elements
// kept outside the list objects), "}".
template <class T, class WriteMore>
int writeLexList(TokenFile& file, const LexList<T>& list, WriteMore&& writeMore) {
    file.writeString("{").endLine();
    for (T* e = list.head(); e != nullptr; e = LexList<T>::next(e)) {
        file.writeString(e->className()).endLine();
        if (!e->write(file)) return 0;
    }
    if (!writeMore(file)) return 0;
    file.writeString("}").endLine();
    return 1;
}

template <class T>
int writeLexList(TokenFile& file, const LexList<T>& list) {
    return writeLexList(file, list, [](TokenFile&) { return 1; });
}

// Reads "{", then until "}" an element per class-name token (the name is not checked: the list
// makes elements of its own class), each read, appended and checked. False on any failure, with
// 30006 recorded for format errors.
template <class T>
bool readLexList(TokenFile& file, LexReadContext& context, LexList<T>& list) {
    if (!lexExpectOpen(file)) return false;
    std::string token;
    for (;;) {
        if (!file.readToken(token)) {
            recordError(kLexErrorFormat, kSeverityFormat);
            return false;
        }
        if (token == "}") return true;
        std::unique_ptr<T> element = std::make_unique<T>();
        if (element->read(file, context) == 0) return false;
        T* raw = element.get();
        if (!list.append(element)) return false;
        if (!raw->postLoadCheck()) {
            recordError(kLexErrorFormat, kSeverityFormat);
            return false;
        }
    }
}

// "$LexPropertyList" and the property list, then "$LexPropBoxList" and the property box list.
int writePropertyLists(TokenFile& file, const LexPropertyList& properties,
                       const LexPropBoxList& boxes);
// Reads the two lists; markerRead says that "$LexPropertyList" was read already.
bool readPropertyLists(TokenFile& file, LexReadContext& context, LexPropertyList& properties,
                       LexPropBoxList& boxes, bool markerRead = false);
// For records whose lists are optional: reads the token after the geometry; "$LexPropertyList"
// brings the two lists and then "}", anything else must be "}".
bool readOptionalListsAndClose(TokenFile& file, LexReadContext& context,
                               LexPropertyList& properties, LexPropBoxList& boxes);
// Writes the two lists only when there is at least one property, then "}".
int writeOptionalListsAndClose(TokenFile& file, const LexPropertyList& properties,
                               const LexPropBoxList& boxes);

// The arc of a "$Arc" line or an arc record: centre, radius, start and end angle and the
// orientation code (2 a full circle, else the arc flags). An angle written as +-3.141593 (pi
// rounded to six decimals) is taken as +-pi, so that its direction stays on the side of the
// half-turn where it was written.
QsArc lexArcFromFile(std::int32_t cx, std::int32_t cy, std::int32_t radius, double a1, double a2,
                     std::int32_t code);

// Reads cx, cy, radius, the two angles and the orientation code; false (nothing recorded) when
// a value does not convert or the radius is negative.
bool readArcValues(TokenFile& file, LexArcAsRead& values);
// Writes cx, cy, radius, the two angles and the orientation code of arc: the values read when
// asRead is given and arc is still the arc they were read into, else the arc's own (centre
// rounded, angles as the arc reports them).
void writeArcValues(TokenFile& file, const QsArc& arc, const LexArcAsRead* asRead = nullptr);

// The arc whose three records start at records[i] (i + 2 < count, not checked).
QsArc lexArcOfRecords(const QsPolyRecord* records, int i);
// Whether an arc as read still stands unchanged in the records, so that a write gives its
// values back: its index starts the three records of an arc, and that arc is the one read.
bool lexArcStillAsRead(const QsPolyRecord* records, int count, const LexBlockArc& arc);

// The longest "$Point x y r" line: the marker, three 32-bit numbers, their separators.
inline constexpr std::size_t kLexPointLineMax = 7 + 3 * 11 + 3;

// The line "$Point x y r" of a vertex at p (room for kLexPointLineMax bytes); returns its end.
// Only a marked vertex carries a rounding radius (widths are not part of the file); nearly every
// vertex is unmarked, so its "0" is written without the formatter.
inline char* lexFormatPointLine(char* p, std::int32_t x, std::int32_t y, bool marked,
                                std::int32_t radius) {
    std::memcpy(p, "$Point ", 7);
    p = formatCoordinate(p + 7, x);
    *p++ = ' ';
    p = formatCoordinate(p, y);
    *p++ = ' ';
    if (marked) {
        p = formatDecimal(p, radius);
    } else {
        *p++ = '0';
    }
    *p++ = '\n';
    return p;
}

// Vertex block: "{", the record count, one line per vertex or arc (or "$Dummy"), "}". Arcs
// found unchanged in arcs (as read with the block) are written as they were read.
int writeVertexBlock(TokenFile& file, const QsPolyRecord* records, int count,
                     const LexBlockArcs* arcs = nullptr);
inline int writeVertexBlock(TokenFile& file, const LexVertexBlock& block) {
    return writeVertexBlock(file, block.records, block.count, block.arcs);
}
// The block of a figure's records; an empty block without a figure.
int writeVertexBlock(TokenFile& file, const QsRecordFigure* figure,
                     const LexBlockArcs* arcs = nullptr);
// Reads a vertex block into records, and its arcs as read into arcs when given; 30006 when the
// lines do not add up to the count.
bool readVertexBlock(TokenFile& file, std::vector<QsPolyRecord>& records,
                     LexBlockArcs* arcs = nullptr);
