// The polylines, polygons and texts of a sheet kept packed instead of as objects: per entry its
// attribute words, its file identifier and its geometry, encoded into large shared chunks.
// A converted sheet holds hundreds of thousands of these; as objects each costs several
// allocations and a few hundred bytes, packed a few bytes per vertex.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "db/LexArcAsRead.h"
#include "geom/QsPoint.h"

class LexObject;
class LexSheetObject;
class LexPolyline;
class LexPolygon;
class LexText;
struct LexTextFields;
class TokenFile;

class LexPackedObjects {
public:
    LexPackedObjects();
    ~LexPackedObjects();
    LexPackedObjects(const LexPackedObjects& other);
    LexPackedObjects& operator=(const LexPackedObjects&) = delete;

    // Packs a copy of the object: its attribute words, identifier (0: given at the first save),
    // geometry and the arcs read with it. Properties are not packed: objects with properties
    // stay objects. The entry's index among the live and removed entries of its kind, or -1
    // when storage ran out (nothing added).
    long add(const LexPolyline& line);
    long add(const LexPolygon& polygon);
    long add(const LexText& text);
    // Packs a polyline, polygon or text (by its type code); -1 for any other object.
    long add(const LexSheetObject& object);
    // The same from a record's parts: attribute words, identifier and geometry.
    long addPolyline(std::uint32_t attr, std::uint32_t id, const LexVertexBlock& block);
    long addPolygon(std::uint32_t attr, std::uint32_t attr2, std::uint32_t id,
                    const LexVertexBlock& outline, const LexVertexBlock* holes,
                    std::size_t holeCount);
    long addText(std::uint32_t attr, std::uint32_t id, const LexTextFields& fields);
    // Removes entry index of the kind (kLexTypePolyline, kLexTypePolygon, kLexTypeText); the
    // bytes of the kind's last entry are given back. False when there is no such live entry.
    bool remove(int typeCode, std::size_t index);
    // Drops every entry.
    void clear();
    // Drops every entry of one kind (their bytes stay until the store is cleared).
    void clear(int typeCode);

    // Entries of one kind, removed ones included (the indices there are).
    std::size_t entryCount(int typeCode) const { return entriesOf(typeCode).size(); }
    // Live entries of one kind, and of all three.
    std::size_t count(int typeCode) const;
    std::size_t size() const;

    // The entry as a new object of its class with the given owner (for the settings its box
    // is measured with), not in any list; null for a removed or missing entry, or when storage
    // ran out.
    std::unique_ptr<LexSheetObject> unpack(int typeCode, std::size_t index, LexObject* owner) const;
    // Calls fn with each live entry of the kind, in the order added, unpacked into a temporary
    // object: changes made to it are not kept. True when fn stopped the walk.
    bool forEach(int typeCode, LexObject* owner,
                 const std::function<bool(LexSheetObject&)>& fn) const;

    // Moves every entry by delta. False when an entry's box would leave the 32-bit range; then
    // nothing moved.
    bool move(const QsPoint& delta, LexObject* owner);

    // Writes each live entry of the kind as its class name line and record, in the order
    // added; an entry without identifier gets one from the file's counter and keeps it.
    int write(int typeCode, TokenFile& file);

private:
    struct Entry {
        std::uint32_t chunk = 0;  // kRemoved for a removed entry
        std::uint32_t at = 0;     // offset in the chunk
        std::uint32_t attr = 0;
        std::uint32_t id = 0;
    };
    static constexpr std::uint32_t kRemoved = 0xFFFFFFFFu;

    // One vertex block decoded: its records and the arcs as read with it.
    struct Block {
        std::vector<QsPolyRecord> records;
        LexBlockArcs arcs;
        LexVertexBlock view() const {
            return {records.data(), static_cast<int>(records.size()), &arcs};
        }
    };
    // Decoding scratch space of a polygon: the outline and the holes.
    struct PolygonBlocks {
        std::uint32_t attr2 = 0;
        Block outline;
        std::vector<Block> holes;
        std::size_t holeCount = 0;
    };

    std::deque<Entry>& entriesOf(int typeCode);
    const std::deque<Entry>& entriesOf(int typeCode) const;
    // Room for n bytes in the last chunk (a new chunk when they do not fit); null when storage
    // ran out. commit takes the bytes written up to end as a new entry of the kind.
    std::uint8_t* reserve(std::size_t n);
    long commit(int typeCode, const std::uint8_t* end, std::uint32_t attr, std::uint32_t id);
    const std::uint8_t* bytesOf(const Entry& e) const { return chunks_[e.chunk].get() + e.at; }

    std::vector<std::unique_ptr<std::uint8_t[]>> chunks_;
    std::vector<std::size_t> chunkSizes_;
    std::size_t used_ = 0;  // bytes used in the last chunk
    std::deque<Entry> polylines_;
    std::deque<Entry> polygons_;
    std::deque<Entry> texts_;
    std::size_t live_[3] = {0, 0, 0};
};
