// The grid of a sheet (the child "Grid" of a database): visibility and a second flag, colour,
// pitches and two 16-bit values taken from the settings' grid table.
#pragma once

#include <memory>

#include "db/LexObject.h"

class LexGrid : public LexObject {
public:
    // Flags 0, pitch 0 x 0, values 0.
    LexGrid();
    ~LexGrid() override;

    bool postLoadCheck() const override { return true; }
    int typeCode() const override { return kLexTypeGrid; }
    const char* className() const override { return "LexGrid"; }
    std::unique_ptr<LexObject> clone() const override;
    int write(TokenFile& file) override;
    std::uint32_t read(TokenFile& file, LexReadContext& context) override;
    LexGrid* asGrid() override { return this; }
    const LexGrid* asGrid() const override { return this; }

    // Flags: bit 0 visible; bit 1 the second flag; bits 2-15 a 14-bit value (0 as this program
    // makes grids); bits 16-23 colour index; bits 24-31 a further byte.
    std::uint32_t flags() const { return flags_; }
    bool isVisible() const { return (flags_ & 1u) != 0; }
    void setVisible(bool on) { flags_ = on ? (flags_ | 1u) : (flags_ & ~1u); }
    bool secondFlag() const { return (flags_ & 2u) != 0; }
    void setSecondFlag(bool on) { flags_ = on ? (flags_ | 2u) : (flags_ & ~2u); }
    int color() const { return static_cast<int>((flags_ >> 16) & 0xFFu); }
    void setColor(int color);
    int highByte() const { return static_cast<int>(flags_ >> 24); }
    void setHighByte(int value);

    std::int32_t pitchX() const { return pitchX_; }
    std::int32_t pitchY() const { return pitchY_; }
    void setPitch(std::int32_t x, std::int32_t y);
    int value1() const { return value1_; }
    int value2() const { return value2_; }
    // Keeps the low 16 bits of each.
    void setValues(int v1, int v2);

private:
    LexGrid(const LexGrid& other);

    std::uint32_t flags_ = 0;
    std::int32_t pitchX_ = 0;
    std::int32_t pitchY_ = 0;
    std::uint16_t value1_ = 0;
    std::uint16_t value2_ = 0;
};
