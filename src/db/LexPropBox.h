// The visible label of a property: which property it shows, where and how (position, angle,
// scale, justification, font and colour), with an optional string of its own.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "db/LexSheetObject.h"
#include "geom/QsText.h"

class LexPropBox : public LexSheetObject {
public:
    // Attribute word: visible bit 0; colour bits 8-15 (default bit 1); font bits 16-23 (default
    // bit 2); two further flags in bits 3 and 4.
    static constexpr LexAttrField kColor{8, 8, 1, SettingsDefault::PropertyColor};
    static constexpr LexAttrField kFont{16, 8, 2, SettingsDefault::PropertyFont};
    static constexpr std::uint32_t kFlag3 = 0x08;
    static constexpr std::uint32_t kFlag4 = 0x10;

    // Visible, scale 1.0, no property, no string.
    LexPropBox();
    ~LexPropBox() override;

    bool postLoadCheck() const override { return true; }
    int typeCode() const override { return kLexTypePropBox; }
    const char* className() const override { return "LexPropBox"; }
    std::unique_ptr<LexObject> clone() const override;
    int write(TokenFile& file) override;
    std::uint32_t read(TokenFile& file, LexReadContext& context) override;
    LexPropBox* asPropBox() override { return this; }
    const LexPropBox* asPropBox() const override { return this; }

    void updateBox() override;
    int move(const QsPoint& delta) override;

    // The property shown (not owned; null when none or when the identifier read names no
    // property of the file, in which case the identifier is written back as read).
    LexProperty* property() const { return property_; }
    void setProperty(LexProperty* property);

    double scale() const { return scale_; }
    void setScale(double s) { scale_ = s; }
    const std::optional<std::string>& string() const { return string_; }
    void setString(std::optional<std::string> s) { string_ = std::move(s); }
    // Position, angle and justification.
    QsText& textGeometry() { return text_; }
    const QsText& textGeometry() const { return text_; }

    void setColor(int v) { lexFieldSet(attr_, attr_, kColor, v); }
    void setFont(int v) { lexFieldSet(attr_, attr_, kFont, v); }
    int color() const { return lexFieldValue(attr_, attr_, kColor, environment()); }
    int font() const { return lexFieldValue(attr_, attr_, kFont, environment()); }

private:
    LexPropBox(const LexPropBox& other);

    LexProperty* property_ = nullptr;
    std::uint32_t propertyId_ = 0;  // the identifier read when it named no property
    double scale_ = 1.0;
    std::optional<std::string> string_;
    QsText text_;
};
