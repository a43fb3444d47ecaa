// A drawn path on a sheet: a polyline geometry with true arc segments, line style, colour and
// width indices (each able to follow the settings default), and optional properties.
#pragma once

#include <memory>
#include <vector>

#include "db/LexArcAsRead.h"
#include "db/LexPackedObjects.h"
#include "db/LexStrokedObject.h"
#include "geom/QsPolyline.h"

class LexPolyline : public LexStrokedObject<LexPolyline> {
public:
    // Attribute word: visible bit 0; line style bits 4-7 (default bit 2); colour bits 8-15
    // (default bit 1); line width bits 16-23 (default bit 3).
    static constexpr LexAttrField kColor{8, 8, 1, SettingsDefault::LineColor};
    static constexpr LexAttrField kLineStyle{4, 4, 2, SettingsDefault::LineStyle};
    static constexpr LexAttrField kLineWidth{16, 8, 3, SettingsDefault::LineWidth};

    // Visible, style, colour and width 0 (no default flags), no geometry.
    LexPolyline();
    // The attribute word of a new polyline given its colour, line style and width as the
    // setters take them.
    static std::uint32_t newAttributes(int colour, int lineStyle, int lineWidth) {
        std::uint32_t attr = 1u;
        lexFieldSet(attr, attr, kColor, colour);
        lexFieldSet(attr, attr, kLineStyle, lineStyle);
        lexFieldSet(attr, attr, kLineWidth, lineWidth);
        return attr;
    }
    // The same with a copy of the polyline as its geometry (none when it cannot be copied).
    explicit LexPolyline(const QsPolyline& geometry);
    ~LexPolyline() override;

    bool postLoadCheck() const override { return geometry_ != nullptr; }
    int typeCode() const override { return kLexTypePolyline; }
    static constexpr const char* kClassName = "LexPolyline";
    const char* className() const override { return kClassName; }
    std::unique_ptr<LexObject> clone() const override;
    int write(TokenFile& file) override;
    std::uint32_t read(TokenFile& file, LexReadContext& context) override;
    LexPolyline* asPolyline() override { return this; }
    const LexPolyline* asPolyline() const override { return this; }
    bool isValid() const override { return geometry_ != nullptr; }

    void updateBox() override;
    int move(const QsPoint& delta) override;

    // The geometry (null until set).
    const QsPolyline* geometry() const { return geometry_.get(); }
    // Takes over a geometry and recomputes the box.
    void setGeometry(std::unique_ptr<QsPolyline> geometry);
    // The arcs of the geometry as the file held them (none for a polyline not read from a file).
    const LexBlockArcs& arcsAsRead() const { return arcsAsRead_; }
    void setArcsAsRead(LexBlockArcs arcs) { arcsAsRead_ = std::move(arcs); }

    // The record after its head and before its property lists: the attribute line of attr and
    // the vertex block. Shared by the objects and the sheet's packed polylines.
    static void writeRecordBody(TokenFile& file, std::uint32_t attr, const LexVertexBlock& block);

    // That part of a record as read: the attribute word, the records and the arcs as read.
    struct Body {
        std::uint32_t attr = 0;
        std::vector<QsPolyRecord> records;
        LexBlockArcs arcs;
        // Packs it under the identifier; the entry's index or -1 (see LexPackedObjects).
        long packInto(LexPackedObjects& packed, std::uint32_t id) const;
    };
    // Reads it (the buffers of body are reused); false with 30006 on a format error.
    static bool readRecordBody(TokenFile& file, Body& body);
    // Takes a body over as the attribute word, geometry and arcs as read.
    void setBody(Body&& body);

private:
    LexPolyline(const LexPolyline& other);

    std::unique_ptr<QsPolyline> geometry_;
    // The arcs of the geometry as the file held them, written back while they are unchanged.
    LexBlockArcs arcsAsRead_;
};
