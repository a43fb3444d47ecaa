// A filled or outlined area on a sheet: a polygon geometry (outline and holes), line style,
// colour, width and fill style indices (each able to follow the settings default), properties.
#pragma once

#include <memory>

#include <vector>

#include "db/LexArcAsRead.h"
#include "db/LexPackedObjects.h"
#include "db/LexStrokedObject.h"
#include "geom/QsPolygon.h"
#include "geom/QsPolylineSet.h"

class LexPolygon : public LexFilledObject<LexPolygon> {
public:
    // Attribute word: visible bit 0; filled bit 5; line style bits 8-11 (default bit 2); colour
    // bits 16-23 (default bit 1); line width bits 24-31 (default bit 4). The fill style is held
    // in bits 0-7 of the second word, its default flag is bit 3 of the first.
    static constexpr LexAttrField kColor{16, 8, 1, SettingsDefault::LineColor};
    static constexpr LexAttrField kLineStyle{8, 4, 2, SettingsDefault::LineStyle};
    static constexpr LexAttrField kLineWidth{24, 8, 4, SettingsDefault::LineWidth};
    static constexpr LexAttrField kFillStyle{0, 8, 3, SettingsDefault::FillStyle};

    // Visible and filled, all indices 0, no geometry.
    LexPolygon();
    // The same with a copy of the polygon (outline and holes) as its geometry.
    explicit LexPolygon(const QsPolygon& geometry);
    // The same with the set's records as the outline.
    explicit LexPolygon(const QsPolylineSet& outline);
    ~LexPolygon() override;

    bool postLoadCheck() const override { return geometry_ != nullptr; }
    int typeCode() const override { return kLexTypePolygon; }
    static constexpr const char* kClassName = "LexPolygon";
    const char* className() const override { return kClassName; }
    std::unique_ptr<LexObject> clone() const override;
    int write(TokenFile& file) override;
    std::uint32_t read(TokenFile& file, LexReadContext& context) override;
    LexPolygon* asPolygon() override { return this; }
    const LexPolygon* asPolygon() const override { return this; }
    bool isValid() const override { return geometry_ != nullptr; }

    void updateBox() override;
    int move(const QsPoint& delta) override;

    const QsPolygon* geometry() const { return geometry_.get(); }
    void setGeometry(std::unique_ptr<QsPolygon> geometry);
    // The arcs of the outline and of each hole as the file held them (none for a polygon not
    // read from a file).
    const LexBlockArcs& outlineArcsAsRead() const { return outlineArcsAsRead_; }
    const std::vector<LexBlockArcs>& holeArcsAsRead() const { return holeArcsAsRead_; }
    void setArcsAsRead(LexBlockArcs outline, std::vector<LexBlockArcs> holes) {
        outlineArcsAsRead_ = std::move(outline);
        holeArcsAsRead_ = std::move(holes);
    }

    // The record after its head and before its property lists: the attribute line of the two
    // words, the outline's vertex block and the holes' blocks. Shared by the objects and the
    // sheet's packed polygons.
    static void writeRecordBody(TokenFile& file, std::uint32_t attr, std::uint32_t attr2,
                                const LexVertexBlock& outline, const LexVertexBlock* holes,
                                std::size_t holeCount);

    // That part of a record as read: the two attribute words, the outline's and the holes'
    // records and arcs as read.
    struct Body {
        std::uint32_t attr = 0;
        std::uint32_t attr2 = 0;
        std::vector<QsPolyRecord> outline;
        LexBlockArcs outlineArcs;
        // The first holeCount entries are the record's; the others are spare buffers.
        std::vector<std::vector<QsPolyRecord>> holes;
        std::vector<LexBlockArcs> holeArcs;
        std::size_t holeCount = 0;
        // Packs it under the identifier; the entry's index or -1 (see LexPackedObjects).
        long packInto(LexPackedObjects& packed, std::uint32_t id) const;
    };
    // Reads it (the buffers of body are reused); false with 30006 on a format error.
    static bool readRecordBody(TokenFile& file, Body& body);
    // Takes a body over as the attribute words, geometry and arcs as read.
    void setBody(Body&& body);

private:
    LexPolygon(const LexPolygon& other);

    std::unique_ptr<QsPolygon> geometry_;
    // The arcs of the outline and of each hole as the file held them, written back while they
    // are unchanged.
    LexBlockArcs outlineArcsAsRead_;
    std::vector<LexBlockArcs> holeArcsAsRead_;
};
