// A circle on a sheet: centre and radius, filled or not, with line style, colour, width and fill
// style indices (each able to follow the circle defaults of the settings), properties.
#pragma once

#include <memory>

#include "db/LexPropBox.h"
#include "db/LexProperty.h"
#include "db/LexSheetObject.h"
#include "geom/QsCircle.h"

class LexCircle : public LexSheetObject {
public:
    // The same layout as a polygon's, with the circle defaults.
    static constexpr LexAttrField kColor{16, 8, 1, SettingsDefault::CircleColor};
    static constexpr LexAttrField kLineStyle{8, 4, 2, SettingsDefault::CircleLineStyle};
    static constexpr LexAttrField kLineWidth{24, 8, 4, SettingsDefault::CircleLineWidth};
    static constexpr LexAttrField kFillStyle{0, 8, 3, SettingsDefault::CircleFillStyle};
    static constexpr std::uint32_t kFilled = 0x20;

    // Visible and filled, all indices 0, centre (0, 0), radius 0.
    LexCircle();
    explicit LexCircle(const QsCircle& geometry);
    ~LexCircle() override;

    bool postLoadCheck() const override { return true; }
    int typeCode() const override { return kLexTypeCircle; }
    const char* className() const override { return "LexCircle"; }
    bool forEachOwned(const std::function<bool(LexObject&)>& fn) override;
    LexPropertyList* propertyList() override { return &properties_; }
    const LexPropertyList* propertyList() const override { return &properties_; }
    LexPropBoxList* propBoxList() override { return &boxes_; }
    const LexPropBoxList* propBoxList() const override { return &boxes_; }
    std::unique_ptr<LexObject> clone() const override;
    int write(TokenFile& file) override;
    std::uint32_t read(TokenFile& file, LexReadContext& context) override;
    LexCircle* asCircle() override { return this; }
    const LexCircle* asCircle() const override { return this; }

    // Centre +/- radius.
    void updateBox() override;
    int move(const QsPoint& delta) override;

    const QsCircle& geometry() const { return circle_; }
    void setGeometry(const QsCircle& circle);

    bool isFilled() const { return (attr_ & kFilled) != 0; }
    void setFilled(bool filled) { attr_ = filled ? (attr_ | kFilled) : (attr_ & ~kFilled); }

    void setColor(int v) { lexFieldSet(attr_, attr_, kColor, v); }
    void setLineStyle(int v) { lexFieldSet(attr_, attr_, kLineStyle, v); }
    void setLineWidth(int v) { lexFieldSet(attr_, attr_, kLineWidth, v); }
    void setFillStyle(int v) { lexFieldSet(attr2_, attr_, kFillStyle, v); }
    int color() const { return lexFieldValue(attr_, attr_, kColor, environment()); }
    int lineStyle() const { return lexFieldValue(attr_, attr_, kLineStyle, environment()); }
    int lineWidth() const { return lexFieldValue(attr_, attr_, kLineWidth, environment()); }
    int fillStyle() const { return lexFieldValue(attr2_, attr_, kFillStyle, environment()); }

private:
    LexCircle(const LexCircle& other);

    std::uint32_t attr2_ = 0;
    QsCircle circle_;
    LexPropertyList properties_{this};
    LexPropBoxList boxes_{this};
};
