// A frame drawn on a schematic sheet: a box with a style, colour and width, a kind number, two
// angles or ratios and a flag, and properties. Symbols never keep frames in their files.
#pragma once

#include <memory>

#include "db/LexPropBox.h"
#include "db/LexProperty.h"
#include "db/LexSheetObject.h"

class LexFrame : public LexSheetObject {
public:
    // Attribute word: visible bit 0; style bits 5-7 (default bit 2); colour bits 8-15 (default
    // bit 1); line width bits 16-23 (default bit 3); flag bit 4.
    static constexpr LexAttrField kColor{8, 8, 1, SettingsDefault::FrameColor};
    static constexpr LexAttrField kLineStyle{5, 3, 2, SettingsDefault::FrameLineStyle};
    static constexpr LexAttrField kLineWidth{16, 8, 3, SettingsDefault::FrameLineWidth};
    static constexpr std::uint32_t kFlag = 0x10;

    // Visible, all indices 0, an empty box.
    LexFrame();
    ~LexFrame() override;

    bool postLoadCheck() const override { return true; }
    int typeCode() const override { return kLexTypeFrame; }
    const char* className() const override { return "LexFrame"; }
    bool forEachOwned(const std::function<bool(LexObject&)>& fn) override;
    LexPropertyList* propertyList() override { return &properties_; }
    const LexPropertyList* propertyList() const override { return &properties_; }
    LexPropBoxList* propBoxList() override { return &boxes_; }
    const LexPropBoxList* propBoxList() const override { return &boxes_; }
    std::unique_ptr<LexObject> clone() const override;
    int write(TokenFile& file) override;
    std::uint32_t read(TokenFile& file, LexReadContext& context) override;
    LexFrame* asFrame() override { return this; }
    const LexFrame* asFrame() const override { return this; }

    // The frame's box as held.
    void updateBox() override;
    int move(const QsPoint& delta) override;

    const QsBox& frameBox() const { return frame_; }
    void setFrameBox(const QsBox& box);
    std::int32_t kind() const { return kind_; }
    void setKind(std::int32_t kind) { kind_ = kind; }
    double value1() const { return value1_; }
    double value2() const { return value2_; }
    void setValues(double v1, double v2);

    void setColor(int v) { lexFieldSet(attr_, attr_, kColor, v); }
    void setLineStyle(int v) { lexFieldSet(attr_, attr_, kLineStyle, v); }
    void setLineWidth(int v) { lexFieldSet(attr_, attr_, kLineWidth, v); }
    int color() const { return lexFieldValue(attr_, attr_, kColor, environment()); }
    int lineStyle() const { return lexFieldValue(attr_, attr_, kLineStyle, environment()); }
    int lineWidth() const { return lexFieldValue(attr_, attr_, kLineWidth, environment()); }

private:
    LexFrame(const LexFrame& other);

    std::int32_t kind_ = 0;
    QsBox frame_;
    double value1_ = 0.0;
    double value2_ = 0.0;
    LexPropertyList properties_{this};
    LexPropBoxList boxes_{this};
};
