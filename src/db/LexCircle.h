// A circle on a sheet: centre and radius, filled or not, with line style, colour, width and fill
// style indices (each able to follow the circle defaults of the settings), properties.
#pragma once

#include <memory>

#include "db/LexStrokedObject.h"
#include "geom/QsCircle.h"

class LexCircle : public LexFilledObject<LexCircle> {
public:
    // The same layout as a polygon's, with the circle defaults.
    static constexpr LexAttrField kColor{16, 8, 1, SettingsDefault::CircleColor};
    static constexpr LexAttrField kLineStyle{8, 4, 2, SettingsDefault::CircleLineStyle};
    static constexpr LexAttrField kLineWidth{24, 8, 4, SettingsDefault::CircleLineWidth};
    static constexpr LexAttrField kFillStyle{0, 8, 3, SettingsDefault::CircleFillStyle};

    // Visible and filled, all indices 0, centre (0, 0), radius 0.
    LexCircle();
    explicit LexCircle(const QsCircle& geometry);
    ~LexCircle() override;

    bool postLoadCheck() const override { return true; }
    int typeCode() const override { return kLexTypeCircle; }
    const char* className() const override { return "LexCircle"; }
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

private:
    LexCircle(const LexCircle& other);

    QsCircle circle_;
};
