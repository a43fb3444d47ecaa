// A frame drawn on a schematic sheet: a box with a style, colour and width, a kind number, two
// angles or ratios and a flag, and properties. Symbols never keep frames in their files.
#pragma once

#include <memory>

#include "db/LexStrokedObject.h"

class LexFrame : public LexStrokedObject<LexFrame> {
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

private:
    LexFrame(const LexFrame& other);

    std::int32_t kind_ = 0;
    QsBox frame_;
    double value1_ = 0.0;
    double value2_ = 0.0;
};
