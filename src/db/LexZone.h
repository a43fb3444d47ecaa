// The zone division of a sheet (the child "Zone" of a database): visibility, origin mode, kind,
// pitches, the first labels of columns and rows, offsets.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "db/LexObject.h"

class LexZone : public LexObject {
public:
    // Visible bit 0, zone mode 0, kind 1, pitch 1000 x 1000, empty labels, offsets 0.
    LexZone();
    ~LexZone() override;

    bool postLoadCheck() const override { return true; }
    int typeCode() const override { return kLexTypeZone; }
    const char* className() const override { return "LexZone"; }
    std::unique_ptr<LexObject> clone() const override;
    int write(TokenFile& file) override;
    std::uint32_t read(TokenFile& file, LexReadContext& context) override;
    LexZone* asZone() override { return this; }
    const LexZone* asZone() const override { return this; }

    // Flags: bit 0 visible; bits 1-2 zone mode (0-3); bits 8-15 zone kind.
    std::uint32_t flags() const { return flags_; }
    bool isVisible() const { return (flags_ & 1u) != 0; }
    void setVisible(bool visible) { flags_ = visible ? (flags_ | 1u) : (flags_ & ~1u); }
    int mode() const { return static_cast<int>((flags_ >> 1) & 3u); }
    void setMode(int mode);
    int kind() const { return static_cast<int>((flags_ >> 8) & 0xFFu); }
    void setKind(int kind);

    std::int32_t pitchX() const { return pitchX_; }
    std::int32_t pitchY() const { return pitchY_; }
    void setPitch(std::int32_t x, std::int32_t y);
    std::int32_t offsetX() const { return offsetX_; }
    std::int32_t offsetY() const { return offsetY_; }
    void setOffset(std::int32_t x, std::int32_t y);
    std::int32_t extra() const { return extra_; }
    void setExtra(std::int32_t v) { extra_ = v; }

    // Labels of at most two characters; longer ones keep their first two.
    std::string_view label1() const { return label1_; }
    std::string_view label2() const { return label2_; }
    void setLabels(std::string_view first, std::string_view second);

private:
    LexZone(const LexZone& other);

    std::uint32_t flags_ = 0;
    std::int32_t pitchX_ = 1000;
    std::int32_t pitchY_ = 1000;
    std::string label1_;
    std::string label2_;
    std::int32_t offsetX_ = 0;
    std::int32_t offsetY_ = 0;
    std::int32_t extra_ = 0;
};
