// A text on a sheet: reference point, rotation, justification and path (a QsText), a scale
// factor applied to the font's metrics, the string, the font and colour indices, properties.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "db/LexPackedObjects.h"
#include "db/LexPropertyOwner.h"
#include "db/LexSheetObject.h"
#include "geom/QsText.h"

// What a text record holds besides its identifier, attribute word and properties.
struct LexTextFields {
    QsPoint position;
    double angle = 0.0;
    double scale = 1.0;
    std::uint8_t justification = 0;
    std::uint8_t path = 0;
    std::string_view string;
};

class LexText : public LexPropertyOwner<LexSheetObject> {
public:
    // Attribute word: visible bit 0; colour bits 8-15 (default bit 1); font bits 16-23 (default
    // bit 2).
    static constexpr LexAttrField kColor{8, 8, 1, SettingsDefault::TextColor};
    static constexpr LexAttrField kFont{16, 8, 2, SettingsDefault::TextFont};

    // Visible, colour 0, font 0, at (0, 0), width and height 10, angle 0, justification 0,
    // path 0, scale 1.0, empty string.
    LexText();
    // The same at position with the string and the font index (negative: the default font).
    LexText(const QsPoint& position, std::string_view string, int font);
    // A text with all its attributes in one step: colour, justification code, path and
    // rotation about the position (a rotation that is not finite is left out). The string is
    // measured once. The text is valid when its box fits the 32-bit range both unturned and
    // left-bottom justified at its position and as placed.
    LexText(const QsPoint& position, std::string_view string, int font, int colour,
            int justification, int path, double angle);
    ~LexText() override;

    bool postLoadCheck() const override { return true; }
    int typeCode() const override { return kLexTypeText; }
    static constexpr const char* kClassName = "LexText";
    const char* className() const override { return kClassName; }
    std::unique_ptr<LexObject> clone() const override;
    int write(TokenFile& file) override;
    std::uint32_t read(TokenFile& file, LexReadContext& context) override;
    LexText* asText() override { return this; }
    const LexText* asText() const override { return this; }
    // False when the text's box leaves the 32-bit range.
    bool isValid() const override { return boxInRange_; }

    // The outline of the text measured with its font's text-table row (10 for every metric
    // without one) times the scale; the position point for a text without string.
    void updateBox() override;
    // The box depends on the font metrics of the settings: it is measured again.
    bool attach(const LexEnvironment* environment) override;
    int move(const QsPoint& delta) override;
    bool boxInRange() const { return boxInRange_; }
    // The text as its box is measured and as it is drawn: the geometry with the character
    // width, height, gap and line gap of its font's text-table row (10 each without one) times
    // the scale, pen width 0, no frame, no mirror, font number 1. False when a metric leaves
    // the 32-bit range.
    bool measuredGeometry(QsText& measured) const;

    // Position, angle, justification and path (the metrics are not used: the size comes from
    // the font index and the scale).
    const QsText& textGeometry() const { return text_; }
    const QsPoint& position() const { return text_.position; }
    double angle() const { return text_.angle; }
    int justification() const { return text_.justification; }
    int path() const { return text_.path; }
    double scale() const { return scale_; }
    // The string ("" when none).
    std::string_view string() const { return text_.stringView(); }

    void setString(std::string_view s);
    // Justification code 0-10 (bits 0-1 horizontal, bits 2-3 vertical).
    void setJustification(int code);
    // 1: the text runs in the negative x direction; 0 otherwise.
    void setPath(int path);
    // The angle grows by a (normalised into [0, 2pi)); the position rotates about centre.
    int rotate(const QsPoint& centre, double a);
    // The scale factor is multiplied by f; the position is scaled about centre. 0 (nothing
    // changed) when f or the result is not finite or the position would leave the range.
    int scaleBy(const QsPoint& centre, double f);

    // The record's fields (the string stays the text's own), and all of them set at once as a
    // record gives them, the box measured once.
    LexTextFields fields() const;
    void setFields(const LexTextFields& fields);
    // The record after its head and before its property lists: the attribute line of attr, the
    // placement line and the string's lines. Shared by the objects and the sheet's packed texts.
    static void writeRecordBody(TokenFile& file, std::uint32_t attr, const LexTextFields& fields);

    // That part of a record as read: the attribute word and the fields, whose string is body's.
    struct Body {
        std::uint32_t attr = 0;
        LexTextFields fields;
        std::string string;
        // Packs it under the identifier; the entry's index or -1 (see LexPackedObjects).
        long packInto(LexPackedObjects& packed, std::uint32_t id) const;
    };
    // Reads it (the buffers of body are reused); false with 30006 on a format error.
    static bool readRecordBody(TokenFile& file, Body& body);
    // Takes a body over as the attribute word and fields.
    void setBody(Body&& body);

    void setColor(int v) { lexFieldSet(attr_, attr_, kColor, v); }
    void setFont(int v);
    int color() const { return lexFieldValue(attr_, attr_, kColor, environment()); }
    int font() const { return lexFieldValue(attr_, attr_, kFont, environment()); }
    int rawColor() const { return lexFieldRaw(attr_, attr_, kColor); }
    int rawFont() const { return lexFieldRaw(attr_, attr_, kFont); }

private:
    LexText(const LexText& other);

    QsText text_;
    double scale_ = 1.0;
    bool boxInRange_ = true;
};
