// An arc on a sheet: a QsArc with its orientation flags, line style, colour and width indices
// (each able to follow the settings default), properties.
#pragma once

#include <memory>

#include "db/LexPropBox.h"
#include "db/LexProperty.h"
#include "db/LexSheetObject.h"
#include "geom/QsArc.h"

class LexArc : public LexSheetObject {
public:
    // The same layout as a polyline's.
    static constexpr LexAttrField kColor{8, 8, 1, SettingsDefault::LineColor};
    static constexpr LexAttrField kLineStyle{4, 4, 2, SettingsDefault::LineStyle};
    static constexpr LexAttrField kLineWidth{16, 8, 3, SettingsDefault::LineWidth};

    // Visible, all indices 0, a zero arc.
    LexArc();
    explicit LexArc(const QsArc& geometry);
    ~LexArc() override;

    bool postLoadCheck() const override { return true; }
    int typeCode() const override { return kLexTypeArc; }
    const char* className() const override { return "LexArc"; }
    bool forEachOwned(const std::function<bool(LexObject&)>& fn) override;
    LexPropertyList* propertyList() override { return &properties_; }
    const LexPropertyList* propertyList() const override { return &properties_; }
    LexPropBoxList* propBoxList() override { return &boxes_; }
    const LexPropBoxList* propBoxList() const override { return &boxes_; }
    std::unique_ptr<LexObject> clone() const override;
    int write(TokenFile& file) override;
    std::uint32_t read(TokenFile& file, LexReadContext& context) override;
    LexArc* asArc() override { return this; }
    const LexArc* asArc() const override { return this; }

    // Start, end and the axis points of the circle that the arc passes through.
    void updateBox() override;
    int move(const QsPoint& delta) override;

    const QsArc& geometry() const { return arc_; }
    void setGeometry(const QsArc& arc);

    void setColor(int v) { lexFieldSet(attr_, attr_, kColor, v); }
    void setLineStyle(int v) { lexFieldSet(attr_, attr_, kLineStyle, v); }
    void setLineWidth(int v) { lexFieldSet(attr_, attr_, kLineWidth, v); }
    int color() const { return lexFieldValue(attr_, attr_, kColor, environment()); }
    int lineStyle() const { return lexFieldValue(attr_, attr_, kLineStyle, environment()); }
    int lineWidth() const { return lexFieldValue(attr_, attr_, kLineWidth, environment()); }

private:
    LexArc(const LexArc& other);

    QsArc arc_;
    LexPropertyList properties_{this};
    LexPropBoxList boxes_{this};
};
