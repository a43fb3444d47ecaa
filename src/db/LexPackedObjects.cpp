#include "db/LexPackedObjects.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>

#include "base/DecimalFormat.h"
#include "db/LexPolygon.h"
#include "db/LexPolyline.h"
#include "db/LexRecordIo.h"
#include "db/LexText.h"
#include "db/TokenFile.h"

// The encoding of an entry (all integers as base-128 varints, signed ones zigzagged first):
// - a vertex block: the record count; per record a head byte whose low two bits say its form
//   and whose bit 2 says that a width word follows (otherwise the record repeats the width of
//   the record before), bit 3 that its step is two 16-bit words (otherwise two varints), then
//   the form's words; then the count of arcs as read and, per arc,
//   its first record's index, centre, radius, the two angles as raw doubles, its code, and a
//   byte: 1 when the records there still make the arc read, else 0 and that arc's points,
//   vector, radius and flags; record forms: 0 a plain vertex (the point as a step from the point
//   before), 1 a marked vertex (step and radius), 2 an arc's start or end record (tag, step,
//   width), 3 any other record (tag and its three words as they are);
// - a polyline: its block;
// - a polygon: the second attribute word, the outline's block, the hole count, the holes' blocks;
// - a text: the position, angle and scale (raw doubles), justification and path bytes, the
//   string's length and bytes.
// The attribute word and identifier stay in the entry, so that a save can give identifiers
// without touching the bytes.

namespace {

constexpr std::size_t kChunkSize = std::size_t{1} << 20;
// The most bytes a record, an arc as read and a block's head take.
constexpr std::size_t kRecordMax = 1 + 5 + 3 * 5;
constexpr std::size_t kArcMax = 5 + 3 * 5 + 2 * 8 + 5 + 1 + 7 * 5 + 3;
constexpr std::size_t kBlockHeadMax = 2 * 5;

constexpr std::uint8_t kFormVertex = 0;
constexpr std::uint8_t kFormMarked = 1;
constexpr std::uint8_t kFormArcPoint = 2;
constexpr std::uint8_t kFormRaw = 3;
constexpr std::uint8_t kWidthFollows = 4;
constexpr std::uint8_t kShortStep = 8;

int slotOf(int typeCode) {
    return typeCode == kLexTypePolyline ? 0 : typeCode == kLexTypePolygon ? 1 : 2;
}

class Writer {
public:
    explicit Writer(std::uint8_t* p) : p_(p) {}
    std::uint8_t* end() const { return p_; }

    void byte(std::uint8_t b) { *p_++ = b; }
    void varint(std::uint64_t v) {
        while (v >= 0x80) {
            *p_++ = static_cast<std::uint8_t>(v | 0x80);
            v >>= 7;
        }
        *p_++ = static_cast<std::uint8_t>(v);
    }
    void zigzag(std::int64_t v) {
        varint((static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63));
    }
    void real(double d) {
        std::memcpy(p_, &d, sizeof d);
        p_ += sizeof d;
    }
    // The step from one point to the next: two 16-bit words when both fit (marked in the
    // record's head byte), else two varints. Nearly every step of a drawing fits, and the
    // fixed words are quicker to write and read than varints.
    void step(std::int64_t dx, std::int64_t dy, std::uint8_t* head) {
        if (dx >= INT16_MIN && dx <= INT16_MAX && dy >= INT16_MIN && dy <= INT16_MAX) {
            const std::int16_t words[2] = {static_cast<std::int16_t>(dx),
                                           static_cast<std::int16_t>(dy)};
            std::memcpy(p_, words, sizeof words);
            p_ += sizeof words;
            *head |= kShortStep;
            return;
        }
        zigzag(dx);
        zigzag(dy);
    }
    void bytes(const char* s, std::size_t n) {
        std::memcpy(p_, s, n);
        p_ += n;
    }

    // A vertex block with its arcs as read.
    void block(const LexVertexBlock& b) {
        // Encoded through a local copy: stores through the byte pointer could otherwise alias
        // the member pointer, which would then be reloaded for every byte.
        Writer w(p_);
        const QsPolyRecord* records = b.records;
        const int count = b.count;
        const LexBlockArcs* arcs = b.arcs;
        w.varint(static_cast<std::uint32_t>(count));
        std::int64_t x = 0, y = 0;
        std::int32_t width = 0;
        for (int i = 0; i < count; ++i) {
            const QsPolyRecord& r = records[i];
            // Plain vertices, nearly every record, with a short step and their width unchanged
            // take one comparison chain and a fixed five bytes.
            if (r.tag == kRecVertex && r.data[2] == width) {
                const std::int64_t dx = std::int64_t{r.data[0]} - x;
                const std::int64_t dy = std::int64_t{r.data[1]} - y;
                if (dx >= INT16_MIN && dx <= INT16_MAX && dy >= INT16_MIN && dy <= INT16_MAX) {
                    const std::int16_t words[2] = {static_cast<std::int16_t>(dx),
                                                   static_cast<std::int16_t>(dy)};
                    w.byte(kFormVertex | kShortStep);
                    std::memcpy(w.p_, words, sizeof words);
                    w.p_ += sizeof words;
                    x = r.data[0];
                    y = r.data[1];
                    continue;
                }
            }
            std::uint8_t form = kFormRaw;
            if (r.tag == kRecVertex) {
                form = kFormVertex;
            } else if (r.tag == kRecMarkedVertex) {
                form = kFormMarked;
            } else if (r.isArcSecond() || r.isArcThird()) {
                form = kFormArcPoint;
            }
            const bool carriesWidth = form == kFormVertex || form == kFormArcPoint;
            const bool newWidth = carriesWidth && r.data[2] != width;
            std::uint8_t* head = w.p_;
            w.byte(static_cast<std::uint8_t>(form | (newWidth ? kWidthFollows : 0)));
            if (form == kFormArcPoint || form == kFormRaw) w.varint(r.tag);
            if (form == kFormRaw) {
                w.zigzag(r.data[0]);
                w.zigzag(r.data[1]);
                w.zigzag(r.data[2]);
                continue;
            }
            w.step(r.data[0] - x, r.data[1] - y, head);
            x = r.data[0];
            y = r.data[1];
            if (form == kFormMarked) {
                w.zigzag(r.data[2]);
            } else if (newWidth) {
                w.zigzag(r.data[2]);
                width = r.data[2];
            }
        }
        w.varint(arcs != nullptr ? arcs->size() : 0);
        if (arcs == nullptr) {
            p_ = w.p_;
            return;
        }
        for (const LexBlockArc& a : *arcs) {
            w.varint(static_cast<std::uint32_t>(a.index));
            w.zigzag(a.values.cx);
            w.zigzag(a.values.cy);
            w.zigzag(a.values.radius);
            w.real(a.values.startAngle);
            w.real(a.values.endAngle);
            w.zigzag(a.values.code);
            // The arc read is nearly always the one the records still make; kept whole only
            // when the records changed (a moved object keeps it for a move back).
            const bool still = lexArcStillAsRead(records, count, a);
            w.byte(still ? 1 : 0);
            if (still) continue;
            const QsArc& arc = a.values.arc;
            for (std::int32_t v : {arc.start.x, arc.start.y, arc.end.x, arc.end.y, arc.toCentre.x,
                                   arc.toCentre.y, arc.radius})
                w.zigzag(v);
            w.varint(arc.flags);
        }
        p_ = w.p_;
    }

private:
    std::uint8_t* p_;
};

class Reader {
public:
    explicit Reader(const std::uint8_t* p) : p_(p) {}

    std::uint8_t byte() { return *p_++; }
    std::uint64_t varint() {
        std::uint64_t v = 0;
        for (int shift = 0;; shift += 7) {
            const std::uint8_t b = *p_++;
            v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
            if ((b & 0x80) == 0) return v;
        }
    }
    std::int64_t zigzag() {
        const std::uint64_t v = varint();
        return static_cast<std::int64_t>(v >> 1) ^ -static_cast<std::int64_t>(v & 1);
    }
    std::int32_t int32() { return static_cast<std::int32_t>(zigzag()); }
    // Moves (x, y) by the step of a record with the given head byte.
    void step(std::uint8_t head, std::int32_t& x, std::int32_t& y) {
        if ((head & kShortStep) != 0) {
            std::int16_t words[2];
            std::memcpy(words, p_, sizeof words);
            p_ += sizeof words;
            x = static_cast<std::int32_t>(x + words[0]);
            y = static_cast<std::int32_t>(y + words[1]);
        } else {
            x = static_cast<std::int32_t>(x + zigzag());
            y = static_cast<std::int32_t>(y + zigzag());
        }
    }
    double real() {
        double d = 0.0;
        std::memcpy(&d, p_, sizeof d);
        p_ += sizeof d;
        return d;
    }
    std::string_view string(std::size_t n) {
        std::string_view s(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return s;
    }

    // The fields of a text (the string points into the entry's bytes).
    LexTextFields textFields() {
        LexTextFields f;
        f.position.x = int32();
        f.position.y = int32();
        f.angle = real();
        f.scale = real();
        f.justification = byte();
        f.path = byte();
        f.string = string(static_cast<std::size_t>(varint()));
        return f;
    }

    // Decodes a block into records and arcs (both replaced); each arc as read is given the arc
    // its records make, the arc it was read into.
    void block(std::vector<QsPolyRecord>& records, LexBlockArcs& arcs) {
        // Decoded through a local copy of the pointer, as the writer does.
        Reader in(p_);
        const auto count = static_cast<std::size_t>(in.varint());
        records.resize(count);
        std::int32_t x = 0, y = 0, width = 0;
        for (QsPolyRecord& r : records) {
            const std::uint8_t head = in.byte();
            const std::uint8_t form = head & 3u;
            if (form == kFormRaw) {
                r.tag = static_cast<std::uint32_t>(in.varint());
                r.data = {in.int32(), in.int32(), in.int32()};
                continue;
            }
            r.tag = form == kFormVertex   ? kRecVertex
                    : form == kFormMarked ? kRecMarkedVertex
                                          : static_cast<std::uint32_t>(in.varint());
            in.step(head, x, y);
            if (form == kFormMarked) {
                r.data = {x, y, in.int32()};
                continue;
            }
            if ((head & kWidthFollows) != 0) width = in.int32();
            r.data = {x, y, width};
        }
        arcs.resize(static_cast<std::size_t>(in.varint()));
        for (LexBlockArc& a : arcs) {
            a.index = static_cast<int>(in.varint());
            a.values.cx = in.int32();
            a.values.cy = in.int32();
            a.values.radius = in.int32();
            a.values.startAngle = in.real();
            a.values.endAngle = in.real();
            a.values.code = in.int32();
            if (in.byte() != 0) {
                a.values.arc = lexArcOfRecords(records.data(), a.index);
                continue;
            }
            QsArc& arc = a.values.arc;
            arc.start.x = in.int32();
            arc.start.y = in.int32();
            arc.end.x = in.int32();
            arc.end.y = in.int32();
            arc.toCentre.x = in.int32();
            arc.toCentre.y = in.int32();
            arc.radius = in.int32();
            arc.flags = static_cast<std::uint16_t>(in.varint());
        }
        p_ = in.p_;
    }

    // Writes the text of a block of plain and marked vertices without arcs as read at out, as
    // writeVertexBlock gives it, and moves out past it. False for a block with any other record
    // or an arc (out then points somewhere in the partial text, which the caller drops).
    bool plainBlockText(char*& out) {
        Reader in(p_);
        const auto count = static_cast<std::uint32_t>(in.varint());
        char* p = out;
        std::memcpy(p, "{\n", 2);
        p = formatDecimal(p + 2, count);
        *p++ = '\n';
        std::int32_t x = 0, y = 0;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t head = in.byte();
            const std::uint8_t form = head & 3u;
            if (form != kFormVertex && form != kFormMarked) return false;
            in.step(head, x, y);
            std::int32_t radius = 0;
            if (form == kFormMarked || (head & kWidthFollows) != 0) radius = in.int32();
            p = lexFormatPointLine(p, x, y, form == kFormMarked, radius);
        }
        if (in.varint() != 0) return false;
        std::memcpy(p, "}\n", 2);
        out = p + 2;
        p_ = in.p_;
        return true;
    }

private:
    const std::uint8_t* p_;
};

// The most vertices of a polyline written in one piece by writePlainPolyline.
constexpr std::uint32_t kPlainPolylineMax = 80;
constexpr std::size_t kPlainPolylineTextMax = 12 + 2 + 4 + kMaxDecimalChars + 1 +
                                              LexPolyline::kStrokeLineMax + 2 + kMaxDecimalChars +
                                              1 + kPlainPolylineMax * kLexPointLineMax + 2 + 2;
static_assert(kPlainPolylineTextMax <= TokenFile::kMaxReserve);

// Writes a packed polyline of up to kPlainPolylineMax plain or marked vertices and no arcs as
// read (what nearly every converted stroke is) as its class name line and record in one piece,
// the block's text formatted as it is decoded. False, with nothing written, for any other
// polyline; id is given from the file's counter when it was 0 either way.
// The stroke line of the last attribute word written: nearly every polyline of a sheet has the
// word of the one before.
struct StrokeLineCache {
    bool valid = false;
    std::uint32_t attr = 0;
    std::size_t size = 0;
    char text[LexPolyline::kStrokeLineMax];
};

bool writePlainPolyline(TokenFile& file, const std::uint8_t* bytes, std::uint32_t attr,
                        std::uint32_t& id, StrokeLineCache& stroke) {
    Reader r(bytes);
    if (Reader(bytes).varint() > kPlainPolylineMax) return false;
    if (id == 0) id = file.takeIdentifier();
    char* const start = file.reserve(kPlainPolylineTextMax);
    constexpr std::string_view kHead = "LexPolyline\n{\n$id ";
    static_assert(kHead.size() == 12 + 2 + 4);
    std::memcpy(start, kHead.data(), kHead.size());
    char* p = formatDecimal(start + kHead.size(), id);
    *p++ = '\n';
    if (!stroke.valid || stroke.attr != attr) {
        stroke.size = static_cast<std::size_t>(LexPolyline::formatStrokeLine(stroke.text, attr) -
                                               stroke.text);
        stroke.attr = attr;
        stroke.valid = true;
    }
    std::memcpy(p, stroke.text, stroke.size);
    p += stroke.size;
    if (!r.plainBlockText(p)) return false;
    std::memcpy(p, "}\n", 2);
    file.commit(p + 2);
    return true;
}

std::size_t blockBound(const LexVertexBlock& block) {
    return kBlockHeadMax + kRecordMax * static_cast<std::size_t>(block.count) +
           (block.arcs != nullptr ? kArcMax * block.arcs->size() : 0);
}

// The geometry of an unpacked object is made without letting an allocation failure escape.
template <class F>
auto noThrow(F&& make) -> decltype(make()) {
    try {
        return make();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

LexPackedObjects::LexPackedObjects() = default;
LexPackedObjects::~LexPackedObjects() = default;

LexPackedObjects::LexPackedObjects(const LexPackedObjects& other)
    : chunkSizes_(other.chunkSizes_),
      used_(other.used_),
      polylines_(other.polylines_),
      polygons_(other.polygons_),
      texts_(other.texts_) {
    for (std::size_t i = 0; i < other.chunks_.size(); ++i) {
        chunks_.push_back(std::make_unique<std::uint8_t[]>(chunkSizes_[i]));
        const std::size_t n = i + 1 == other.chunks_.size() ? used_ : chunkSizes_[i];
        std::memcpy(chunks_.back().get(), other.chunks_[i].get(), n);
    }
    std::copy(std::begin(other.live_), std::end(other.live_), std::begin(live_));
}

std::deque<LexPackedObjects::Entry>& LexPackedObjects::entriesOf(int typeCode) {
    return typeCode == kLexTypePolyline  ? polylines_
           : typeCode == kLexTypePolygon ? polygons_
                                         : texts_;
}

const std::deque<LexPackedObjects::Entry>& LexPackedObjects::entriesOf(int typeCode) const {
    return typeCode == kLexTypePolyline  ? polylines_
           : typeCode == kLexTypePolygon ? polygons_
                                         : texts_;
}

std::uint8_t* LexPackedObjects::reserve(std::size_t n) {
    if (chunks_.empty() || n > chunkSizes_.back() - used_) {
        const std::size_t size = n > kChunkSize ? n : kChunkSize;
        std::unique_ptr<std::uint8_t[]> chunk(new (std::nothrow) std::uint8_t[size]);
        if (!chunk) return nullptr;
        try {
            chunks_.push_back(std::move(chunk));
            chunkSizes_.push_back(size);
        } catch (const std::bad_alloc&) {
            if (chunks_.size() > chunkSizes_.size()) chunks_.pop_back();
            return nullptr;
        }
        used_ = 0;
    }
    return chunks_.back().get() + used_;
}

long LexPackedObjects::commit(int typeCode, const std::uint8_t* end, std::uint32_t attr,
                              std::uint32_t id) {
    std::deque<Entry>& entries = entriesOf(typeCode);
    Entry e;
    e.chunk = static_cast<std::uint32_t>(chunks_.size() - 1);
    e.at = static_cast<std::uint32_t>(used_);
    e.attr = attr;
    e.id = id;
    try {
        entries.push_back(e);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    used_ = static_cast<std::size_t>(end - chunks_.back().get());
    ++live_[slotOf(typeCode)];
    return static_cast<long>(entries.size() - 1);
}

long LexPackedObjects::addPolyline(std::uint32_t attr, std::uint32_t id,
                                   const LexVertexBlock& block) {
    std::uint8_t* p = reserve(blockBound(block));
    if (p == nullptr) return -1;
    Writer w(p);
    w.block(block);
    return commit(kLexTypePolyline, w.end(), attr, id);
}

long LexPackedObjects::addPolygon(std::uint32_t attr, std::uint32_t attr2, std::uint32_t id,
                                  const LexVertexBlock& outline, const LexVertexBlock* holes,
                                  std::size_t holeCount) {
    std::size_t bound = 5 + 10 + blockBound(outline);
    for (std::size_t h = 0; h < holeCount; ++h)
        bound += blockBound(holes[h]);
    std::uint8_t* p = reserve(bound);
    if (p == nullptr) return -1;
    Writer w(p);
    w.varint(attr2);
    w.block(outline);
    w.varint(holeCount);
    for (std::size_t h = 0; h < holeCount; ++h)
        w.block(holes[h]);
    return commit(kLexTypePolygon, w.end(), attr, id);
}

long LexPackedObjects::addText(std::uint32_t attr, std::uint32_t id, const LexTextFields& f) {
    std::uint8_t* p = reserve(2 * 5 + 2 * 8 + 2 + 10 + f.string.size());
    if (p == nullptr) return -1;
    Writer w(p);
    w.zigzag(f.position.x);
    w.zigzag(f.position.y);
    w.real(f.angle);
    w.real(f.scale);
    w.byte(f.justification);
    w.byte(f.path);
    w.varint(f.string.size());
    w.bytes(f.string.data(), f.string.size());
    return commit(kLexTypeText, w.end(), attr, id);
}

long LexPackedObjects::add(const LexPolyline& line) {
    const QsPolyline* g = line.geometry();
    LexVertexBlock block;
    if (g != nullptr) block = {g->records(), g->usedCount(), &line.arcsAsRead()};
    return addPolyline(line.attributes(), line.fileId(), block);
}

long LexPackedObjects::add(const LexPolygon& polygon) {
    const QsPolygon* g = polygon.geometry();
    LexVertexBlock outline;
    std::vector<LexVertexBlock> holes;
    if (g != nullptr) {
        outline = {g->records(), g->usedCount(), &polygon.outlineArcsAsRead()};
        const std::vector<LexBlockArcs>& arcs = polygon.holeArcsAsRead();
        try {
            holes.reserve(g->holes().size());
        } catch (const std::bad_alloc&) {
            return -1;
        }
        for (std::size_t h = 0; h < g->holes().size(); ++h) {
            const QsPolylineSet& hole = g->holes()[h];
            holes.push_back(
                {hole.records(), hole.usedCount(), h < arcs.size() ? &arcs[h] : nullptr});
        }
    }
    return addPolygon(polygon.attributes(), polygon.secondAttributes(), polygon.fileId(), outline,
                      holes.data(), holes.size());
}

long LexPackedObjects::add(const LexText& text) {
    return addText(text.attributes(), text.fileId(), text.fields());
}

long LexPackedObjects::add(const LexSheetObject& object) {
    if (const LexPolyline* line = object.asPolyline()) return add(*line);
    if (const LexPolygon* polygon = object.asPolygon()) return add(*polygon);
    if (const LexText* text = object.asText()) return add(*text);
    return -1;
}

bool LexPackedObjects::remove(int typeCode, std::size_t index) {
    std::deque<Entry>& entries = entriesOf(typeCode);
    if (index >= entries.size() || entries[index].chunk == kRemoved) return false;
    Entry& e = entries[index];
    --live_[slotOf(typeCode)];
    if (index + 1 == entries.size()) {
        // The newest entry of its kind: when its bytes end the last chunk, they are reused.
        if (e.chunk + 1 == chunks_.size() && e.at <= used_) {
            bool newest = true;
            for (const std::deque<Entry>* other : {&polylines_, &polygons_, &texts_}) {
                if (other != &entries && !other->empty() && other->back().chunk == e.chunk &&
                    other->back().at > e.at)
                    newest = false;
            }
            if (newest) used_ = e.at;
        }
        // Removed entries before it go too: the newest entry of each kind stays a live one,
        // which the check above relies on.
        entries.pop_back();
        while (!entries.empty() && entries.back().chunk == kRemoved)
            entries.pop_back();
        return true;
    }
    e.chunk = kRemoved;
    return true;
}

void LexPackedObjects::clear(int typeCode) {
    entriesOf(typeCode).clear();
    live_[slotOf(typeCode)] = 0;
}

void LexPackedObjects::clear() {
    chunks_.clear();
    chunkSizes_.clear();
    used_ = 0;
    polylines_.clear();
    polygons_.clear();
    texts_.clear();
    std::fill(std::begin(live_), std::end(live_), 0);
}

std::size_t LexPackedObjects::count(int typeCode) const {
    if (typeCode != kLexTypePolyline && typeCode != kLexTypePolygon && typeCode != kLexTypeText)
        return 0;
    return live_[slotOf(typeCode)];
}

std::size_t LexPackedObjects::size() const {
    return live_[0] + live_[1] + live_[2];
}

std::unique_ptr<LexSheetObject> LexPackedObjects::unpack(int typeCode, std::size_t index,
                                                         LexObject* owner) const {
    if (typeCode != kLexTypePolyline && typeCode != kLexTypePolygon && typeCode != kLexTypeText)
        return nullptr;
    const std::deque<Entry>& entries = entriesOf(typeCode);
    if (index >= entries.size() || entries[index].chunk == kRemoved) return nullptr;
    const Entry& e = entries[index];
    Reader r(bytesOf(e));
    return noThrow([&]() -> std::unique_ptr<LexSheetObject> {
        std::unique_ptr<LexSheetObject> object;
        if (typeCode == kLexTypePolyline) {
            auto line = std::make_unique<LexPolyline>();
            line->setOwner(owner);
            std::vector<QsPolyRecord> records;
            LexBlockArcs arcs;
            r.block(records, arcs);
            line->setGeometry(std::make_unique<QsPolyline>(std::move(records)));
            line->setArcsAsRead(std::move(arcs));
            object = std::move(line);
        } else if (typeCode == kLexTypePolygon) {
            auto polygon = std::make_unique<LexPolygon>();
            polygon->setOwner(owner);
            polygon->setSecondAttributes(static_cast<std::uint32_t>(r.varint()));
            std::vector<QsPolyRecord> records;
            LexBlockArcs outlineArcs;
            r.block(records, outlineArcs);
            auto geometry = std::make_unique<QsPolygon>(QsPolylineSet(std::move(records)));
            std::vector<LexBlockArcs> holeArcs(static_cast<std::size_t>(r.varint()));
            for (LexBlockArcs& arcs : holeArcs) {
                r.block(records, arcs);
                geometry->holes().emplace_back(records.data(), static_cast<int>(records.size()));
            }
            polygon->setGeometry(std::move(geometry));
            polygon->setArcsAsRead(std::move(outlineArcs), std::move(holeArcs));
            object = std::move(polygon);
        } else {
            auto text = std::make_unique<LexText>();
            text->setOwner(owner);
            text->setAttributes(e.attr);
            text->setFields(r.textFields());
            object = std::move(text);
        }
        object->setAttributes(e.attr);
        object->setFileId(e.id);
        return object;
    });
}

bool LexPackedObjects::forEach(int typeCode, LexObject* owner,
                               const std::function<bool(LexSheetObject&)>& fn) const {
    const std::deque<Entry>& entries = entriesOf(typeCode);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].chunk == kRemoved) continue;
        std::unique_ptr<LexSheetObject> object = unpack(typeCode, i, owner);
        if (object && fn(*object)) return true;
    }
    return false;
}

bool LexPackedObjects::move(const QsPoint& delta, LexObject* owner) {
    // Rebuilt entry by entry; the old entries stay until every one has moved.
    LexPackedObjects moved;
    for (int typeCode : {kLexTypePolyline, kLexTypePolygon, kLexTypeText}) {
        const std::deque<Entry>& entries = entriesOf(typeCode);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].chunk == kRemoved) {
                moved.entriesOf(typeCode).push_back(entries[i]);
                continue;
            }
            std::unique_ptr<LexSheetObject> object = unpack(typeCode, i, owner);
            if (!object || !object->move(delta) || moved.add(*object) < 0) return false;
        }
    }
    chunks_ = std::move(moved.chunks_);
    chunkSizes_ = std::move(moved.chunkSizes_);
    used_ = moved.used_;
    polylines_ = std::move(moved.polylines_);
    polygons_ = std::move(moved.polygons_);
    texts_ = std::move(moved.texts_);
    return true;
}

int LexPackedObjects::write(int typeCode, TokenFile& file) {
    std::deque<Entry>& entries = entriesOf(typeCode);
    Block outline;
    std::vector<Block> holes;
    std::vector<LexVertexBlock> holeViews;
    StrokeLineCache stroke;
    for (Entry& e : entries) {
        if (e.chunk == kRemoved) continue;
        Reader r(bytesOf(e));
        if (typeCode == kLexTypePolyline) {
            if (writePlainPolyline(file, bytesOf(e), e.attr, e.id, stroke)) continue;
            file.writeString(LexPolyline::kClassName).endLine();
            lexWriteRecordHead(file, e.id);
            r.block(outline.records, outline.arcs);
            LexPolyline::writeRecordBody(file, e.attr, outline.view());
        } else if (typeCode == kLexTypePolygon) {
            file.writeString(LexPolygon::kClassName).endLine();
            lexWriteRecordHead(file, e.id);
            const auto attr2 = static_cast<std::uint32_t>(r.varint());
            r.block(outline.records, outline.arcs);
            const auto holeCount = static_cast<std::size_t>(r.varint());
            if (holes.size() < holeCount) holes.resize(holeCount);
            holeViews.clear();
            for (std::size_t h = 0; h < holeCount; ++h) {
                r.block(holes[h].records, holes[h].arcs);
                holeViews.push_back(holes[h].view());
            }
            LexPolygon::writeRecordBody(file, e.attr, attr2, outline.view(), holeViews.data(),
                                        holeCount);
        } else {
            file.writeString(LexText::kClassName).endLine();
            lexWriteRecordHead(file, e.id);
            LexText::writeRecordBody(file, e.attr, r.textFields());
        }
        file.writeString("}").endLine();
    }
    return 1;
}
