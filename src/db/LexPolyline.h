// A drawn path on a sheet: a polyline geometry with true arc segments, line style, colour and
// width indices (each able to follow the settings default), and optional properties.
#pragma once

#include <memory>

#include "db/LexPropBox.h"
#include "db/LexProperty.h"
#include "db/LexSheetObject.h"
#include "geom/QsPolyline.h"

class LexPolyline : public LexSheetObject {
public:
    // Attribute word: visible bit 0; line style bits 4-7 (default bit 2); colour bits 8-15
    // (default bit 1); line width bits 16-23 (default bit 3).
    static constexpr LexAttrField kColor{8, 8, 1, SettingsDefault::LineColor};
    static constexpr LexAttrField kLineStyle{4, 4, 2, SettingsDefault::LineStyle};
    static constexpr LexAttrField kLineWidth{16, 8, 3, SettingsDefault::LineWidth};

    // Visible, style, colour and width 0 (no default flags), no geometry.
    LexPolyline();
    // The same with a copy of the polyline as its geometry (none when it cannot be copied).
    explicit LexPolyline(const QsPolyline& geometry);
    ~LexPolyline() override;

    bool postLoadCheck() const override { return geometry_ != nullptr; }
    int typeCode() const override { return kLexTypePolyline; }
    const char* className() const override { return "LexPolyline"; }
    bool forEachOwned(const std::function<bool(LexObject&)>& fn) override;
    LexPropertyList* propertyList() override { return &properties_; }
    const LexPropertyList* propertyList() const override { return &properties_; }
    LexPropBoxList* propBoxList() override { return &boxes_; }
    const LexPropBoxList* propBoxList() const override { return &boxes_; }
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

    // Attribute setters: 0 or more stores the index explicitly, a negative value selects the
    // settings default. Getters give the index in effect; raw getters -1 for the default.
    void setColor(int v) { lexFieldSet(attr_, attr_, kColor, v); }
    void setLineStyle(int v) { lexFieldSet(attr_, attr_, kLineStyle, v); }
    void setLineWidth(int v) { lexFieldSet(attr_, attr_, kLineWidth, v); }
    int color() const { return lexFieldValue(attr_, attr_, kColor, environment()); }
    int lineStyle() const { return lexFieldValue(attr_, attr_, kLineStyle, environment()); }
    int lineWidth() const { return lexFieldValue(attr_, attr_, kLineWidth, environment()); }
    int rawColor() const { return lexFieldRaw(attr_, attr_, kColor); }
    int rawLineStyle() const { return lexFieldRaw(attr_, attr_, kLineStyle); }
    int rawLineWidth() const { return lexFieldRaw(attr_, attr_, kLineWidth); }

private:
    LexPolyline(const LexPolyline& other);

    std::unique_ptr<QsPolyline> geometry_;
    LexPropertyList properties_{this};
    LexPropBoxList boxes_{this};
};
