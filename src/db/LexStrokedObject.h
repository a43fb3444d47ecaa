// The part shared by the sheet objects drawn with a line (arcs, frames, polylines, and through
// LexFilledObject circles and polygons): colour, line style and line width indices placed where
// the class's layout (Derived::kColor, kLineStyle, kLineWidth) puts them, and the record line
// that carries them.
#pragma once

#include <cstdint>

#include "base/DecimalFormat.h"
#include "base/ErrorRecord.h"
#include "db/LexPropertyOwner.h"
#include "db/LexSheetObject.h"
#include "db/TokenFile.h"

template <class Derived>
class LexStrokedObject : public LexPropertyOwner<LexSheetObject> {
public:
    // Setters: 0 or more stores the index explicitly, a negative value selects the settings
    // default. Getters give the index in effect; raw getters -1 for the default.
    void setColor(int v) { lexFieldSet(attr_, attr_, Derived::kColor, v); }
    void setLineStyle(int v) { lexFieldSet(attr_, attr_, Derived::kLineStyle, v); }
    void setLineWidth(int v) { lexFieldSet(attr_, attr_, Derived::kLineWidth, v); }
    int color() const { return lexFieldValue(attr_, attr_, Derived::kColor, environment()); }
    int lineStyle() const {
        return lexFieldValue(attr_, attr_, Derived::kLineStyle, environment());
    }
    int lineWidth() const {
        return lexFieldValue(attr_, attr_, Derived::kLineWidth, environment());
    }
    int rawColor() const { return lexFieldRaw(attr_, attr_, Derived::kColor); }

    // The record line "visible style colour width" of an attribute word at p (room for
    // kStrokeLineMax bytes); returns its end.
    static constexpr std::size_t kStrokeLineMax = 4 * kMaxDecimalChars + 4;
    static char* formatStrokeLine(char* p, std::uint32_t attr) {
        p = formatDecimal(p, attr & 1u);
        *p++ = ' ';
        p = formatDecimal(p, std::int32_t{lexFieldRaw(attr, attr, Derived::kLineStyle)});
        *p++ = ' ';
        p = formatDecimal(p, std::int32_t{lexFieldRaw(attr, attr, Derived::kColor)});
        *p++ = ' ';
        p = formatDecimal(p, std::int32_t{lexFieldRaw(attr, attr, Derived::kLineWidth)});
        *p++ = '\n';
        return p;
    }
    int rawLineStyle() const { return lexFieldRaw(attr_, attr_, Derived::kLineStyle); }
    int rawLineWidth() const { return lexFieldRaw(attr_, attr_, Derived::kLineWidth); }

protected:
    LexStrokedObject() = default;
    LexStrokedObject(const LexStrokedObject& other) = default;

    // The record line "visible style colour width" of an attribute word.
    static void writeStrokeLine(TokenFile& file, std::uint32_t attr) {
        file.commit(formatStrokeLine(file.reserve(kStrokeLineMax), attr));
    }
    // Reads that line into a fresh attribute word (the other bits cleared). False, with 30006
    // recorded, when a field is missing.
    static bool readStrokeLine(TokenFile& file, std::uint32_t& attr) {
        std::uint32_t visible = 0;
        std::int32_t style = 0, color = 0, width = 0;
        if (!file.readUnsigned(visible) || !file.readSigned(style) || !file.readSigned(color) ||
            !file.readSigned(width)) {
            recordError(kLexErrorFormat, kSeverityFormat);
            return false;
        }
        attr = visible != 0 ? 1u : 0u;
        lexFieldSet(attr, attr, Derived::kLineStyle, style);
        lexFieldSet(attr, attr, Derived::kColor, color);
        lexFieldSet(attr, attr, Derived::kLineWidth, width);
        return true;
    }
    bool readStrokeLine(TokenFile& file) { return readStrokeLine(file, attr_); }
};

// Stroked objects that enclose an area: the filled flag (bit 5 of the attribute word) and a fill
// style index kept in a second word (Derived::kFillStyle), whose default flag is in the first.
template <class Derived>
class LexFilledObject : public LexStrokedObject<Derived> {
public:
    static constexpr std::uint32_t kFilled = 0x20;

    bool isFilled() const { return (this->attr_ & kFilled) != 0; }
    void setFilled(bool filled) {
        this->attr_ = filled ? (this->attr_ | kFilled) : (this->attr_ & ~kFilled);
    }
    std::uint32_t secondAttributes() const { return attr2_; }
    void setSecondAttributes(std::uint32_t attr2) { attr2_ = attr2; }

    void setFillStyle(int v) { lexFieldSet(attr2_, this->attr_, Derived::kFillStyle, v); }
    int fillStyle() const {
        return lexFieldValue(attr2_, this->attr_, Derived::kFillStyle, this->environment());
    }
    int rawFillStyle() const { return lexFieldRaw(attr2_, this->attr_, Derived::kFillStyle); }

protected:
    LexFilledObject() = default;
    LexFilledObject(const LexFilledObject& other) = default;

    // The record line "visible filled style fill colour width" of the two attribute words.
    static void writeFilledLine(TokenFile& file, std::uint32_t attr, std::uint32_t attr2) {
        file.writeUnsigned(attr & 1u).space().writeUnsigned((attr & kFilled) != 0 ? 1 : 0).space();
        file.writeSigned(lexFieldRaw(attr, attr, Derived::kLineStyle)).space();
        file.writeSigned(lexFieldRaw(attr2, attr, Derived::kFillStyle)).space();
        file.writeSigned(lexFieldRaw(attr, attr, Derived::kColor)).space();
        file.writeSigned(lexFieldRaw(attr, attr, Derived::kLineWidth)).endLine();
    }
    // Reads that line into fresh attribute words. False, with 30006 recorded, when a field is
    // missing.
    static bool readFilledLine(TokenFile& file, std::uint32_t& attr, std::uint32_t& attr2) {
        std::uint32_t visible = 0, filled = 0;
        std::int32_t style = 0, fill = 0, color = 0, width = 0;
        if (!file.readUnsigned(visible) || !file.readUnsigned(filled) || !file.readSigned(style) ||
            !file.readSigned(fill) || !file.readSigned(color) || !file.readSigned(width)) {
            recordError(kLexErrorFormat, kSeverityFormat);
            return false;
        }
        attr = (visible != 0 ? 1u : 0u) | (filled != 0 ? kFilled : 0u);
        attr2 = 0;
        lexFieldSet(attr, attr, Derived::kLineStyle, style);
        lexFieldSet(attr2, attr, Derived::kFillStyle, fill);
        lexFieldSet(attr, attr, Derived::kColor, color);
        lexFieldSet(attr, attr, Derived::kLineWidth, width);
        return true;
    }
    bool readFilledLine(TokenFile& file) { return readFilledLine(file, this->attr_, attr2_); }

    std::uint32_t attr2_ = 0;
};
