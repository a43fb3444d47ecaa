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

    // Both fonts at their defaults for the unit factor k.
    explicit LabelState(double k);

    LabelFontSize alternate;
    LabelFontSize standard;
    int selectedFont = 1;  // 1 standard, 0 alternate
    unsigned char terminator = kDefaultTerminator;
    unsigned char textPath = 0;
    unsigned char mirrorFlags = 0;  // bit 0: width negative, bit 1: height negative
    unsigned char originCode = 0;   // justification code of the text geometry
    double direction = 0.0;         // radians
    int terminatorPrinted = 0;
    int transparentData = 0;
    int lineFeed = 1;

    LabelFontSize& selected() { return selectedFont == 0 ? alternate : standard; }

    // Pitch p: spacing trunc(100000 / p), width (2 * spacing) / 3. False (font unchanged) when
    // the spacing does not fit in 32 bits.
    static bool setPitch(LabelFontSize& font, double p);
    // Height h in points: trunc(k * h * 10), line spacing trunc(1.2 * height). False (font
    // unchanged) when the height does not fit.
    static bool setHeight(LabelFontSize& font, double h, double k);
    // Pitch 9 and height 11.5 points, stroke width 0.
    static bool setDefaults(LabelFontSize& font, double k);
};
