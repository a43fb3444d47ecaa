// The label and character state of the HP-GL interpreter: the standard and alternate font sizes,
// the label terminator that the statement reader watches for, origin, direction and text path.
#pragma once

#include <cstdint>

// Sizes of one font, in output units.
struct LabelFontSize {
    int32_t height = 0;
    int32_t lineSpacing = 0;
    int32_t width = 0;
    int32_t spacing = 0;  // advance per character
    int32_t strokeWidth = 0;
};

class LabelState {
public:
    static constexpr unsigned char kDefaultTerminator = 3;  // ETX
    static constexpr double kDefaultPitch = 9.0;            // characters per inch
    static constexpr double kDefaultHeight = 11.5;          // points

    // Mirror bits: the character width or height was given negative.
    static constexpr unsigned char kMirrorWidth = 1;
    static constexpr unsigned char kMirrorHeight = 2;

    // Both fonts at their defaults for the unit factor k.
    explicit LabelState(double k);

    LabelFontSize alternate;
    LabelFontSize standard;
    bool alternateSelected = false;  // SA and shift out select it, SS and shift in the standard
    unsigned char terminator = kDefaultTerminator;
    unsigned char textPath = 0;
    unsigned char mirrorFlags = 0;   // kMirrorWidth, kMirrorHeight
    unsigned char originCode = 0;    // justification code of the text geometry
    double direction = 0.0;          // radians
    bool terminatorPrinted = false;  // DT mode 0
    bool transparentData = false;    // TD 1; kept, not read
    bool lineFeed = true;            // DV; kept, not read

    LabelFontSize& selected() { return alternateSelected ? alternate : standard; }
    const LabelFontSize& selected() const { return alternateSelected ? alternate : standard; }

    // The setters below change the font only when every value they compute fits in 32 bits;
    // otherwise they return false and leave it as it was.

    // Pitch p (characters per inch): spacing trunc(100000 / p), width (2 * spacing) / 3.
    static bool setPitch(LabelFontSize& font, double p);
    // Height h in points: trunc(k * h * 10), line spacing trunc(1.2 * height).
    static bool setHeight(LabelFontSize& font, double h, double k);
    // Width w in output units: spacing trunc(1.5 * w).
    static bool setAbsoluteWidth(LabelFontSize& font, double w);
    // Height v in output units: line spacing trunc(1.2 * v).
    static bool setAbsoluteHeight(LabelFontSize& font, double v);
    // Pitch 9 and height 11.5 points, stroke width 0.
    static bool setDefaults(LabelFontSize& font, double k);
    // Extra space: spaces 0 brings the spacing back to trunc(1.5 * width), any other value
    // multiplies it by 1 + spaces (rounded half away from zero); lines likewise for the line
    // spacing and trunc(1.2 * height).
    static bool addExtraSpace(LabelFontSize& font, double spaces, double lines);

    // Absolute width and height for both fonts (character size commands); false, both fonts
    // unchanged, when a value does not fit.
    bool setBothAbsolute(double w, double h);
};
