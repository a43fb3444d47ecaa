// A filled or outlined area on a sheet: a polygon geometry (outline and holes), line style,
// colour, width and fill style indices (each able to follow the settings default), properties.
#pragma once

#include <memory>

#include "db/LexPropBox.h"
#include "db/LexProperty.h"
#include "db/LexSheetObject.h"
#include "geom/QsPolygon.h"
#include "geom/QsPolylineSet.h"

class LexPolygon : public LexSheetObject {
public:
    // Attribute word: visible bit 0; filled bit 5; line style bits 8-11 (default bit 2); colour
    // bits 16-23 (default bit 1); line width bits 24-31 (default bit 4). The fill style is held
    // in bits 0-7 of the second word, its default flag is bit 3 of the first.
    static constexpr LexAttrField kColor{16, 8, 1, SettingsDefault::LineColor};
    static constexpr LexAttrField kLineStyle{8, 4, 2, SettingsDefault::LineStyle};
    static constexpr LexAttrField kLineWidth{24, 8, 4, SettingsDefault::LineWidth};
    static constexpr LexAttrField kFillStyle{0, 8, 3, SettingsDefault::FillStyle};
    static constexpr std::uint32_t kFilled = 0x20;

    // Visible and filled, all indices 0, no geometry.
    LexPolygon();
    // The same with a copy of the polygon (outline and holes) as its geometry.
    explicit LexPolygon(const QsPolygon& geometry);
    // The same with the set's records as the outline.
    explicit LexPolygon(const QsPolylineSet& outline);
    ~LexPolygon() override;

    bool postLoadCheck() const override { return geometry_ != nullptr; }
    int typeCode() const override { return kLexTypePolygon; }
    const char* className() const override { return "LexPolygon"; }
    bool forEachOwned(const std::function<bool(LexObject&)>& fn) override;
    LexPropertyList* propertyList() override { return &properties_; }
    const LexPropertyList* propertyList() const override { return &properties_; }
    LexPropBoxList* propBoxList() override { return &boxes_; }
    const LexPropBoxList* propBoxList() const override { return &boxes_; }
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

    bool isFilled() const { return (attr_ & kFilled) != 0; }
    void setFilled(bool filled) { attr_ = filled ? (attr_ | kFilled) : (attr_ & ~kFilled); }
    std::uint32_t secondAttributes() const { return attr2_; }

    void setColor(int v) { lexFieldSet(attr_, attr_, kColor, v); }
    void setLineStyle(int v) { lexFieldSet(attr_, attr_, kLineStyle, v); }
    void setLineWidth(int v) { lexFieldSet(attr_, attr_, kLineWidth, v); }
    void setFillStyle(int v) { lexFieldSet(attr2_, attr_, kFillStyle, v); }
    int color() const { return lexFieldValue(attr_, attr_, kColor, environment()); }
    int lineStyle() const { return lexFieldValue(attr_, attr_, kLineStyle, environment()); }
    int lineWidth() const { return lexFieldValue(attr_, attr_, kLineWidth, environment()); }
    int fillStyle() const { return lexFieldValue(attr2_, attr_, kFillStyle, environment()); }
    int rawColor() const { return lexFieldRaw(attr_, attr_, kColor); }
    int rawLineStyle() const { return lexFieldRaw(attr_, attr_, kLineStyle); }
    int rawLineWidth() const { return lexFieldRaw(attr_, attr_, kLineWidth); }
    int rawFillStyle() const { return lexFieldRaw(attr2_, attr_, kFillStyle); }

private:
    LexPolygon(const LexPolygon& other);

    std::uint32_t attr2_ = 0;
    std::unique_ptr<QsPolygon> geometry_;
    LexPropertyList properties_{this};
    LexPropBoxList boxes_{this};
};
