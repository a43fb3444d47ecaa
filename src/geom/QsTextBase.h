// The geometry of a text: reference point, character metrics, rotation, justification, path,
// mirror and frame. Gives the text's lower-left corner and outline from its measured extent.
#pragma once

#include <array>
#include <cstdint>

#include "geom/QsFigure.h"

class QsPointPolygon;

// Justification bits: horizontal place in bits 0-1, vertical place in bits 2-3.
inline constexpr std::uint8_t kJustifyLeft = 0;
inline constexpr std::uint8_t kJustifyCentre = 1;
inline constexpr std::uint8_t kJustifyRight = 2;
inline constexpr std::uint8_t kJustifyBottom = 0;
inline constexpr std::uint8_t kJustifyMiddle = 4;
inline constexpr std::uint8_t kJustifyTop = 8;
// Path 1: the text runs in the negative x direction.
inline constexpr std::uint8_t kTextPathReverse = 1;
// Mirror bits.
inline constexpr std::uint8_t kMirrorX = 1;  // mirrored in x (about a vertical line)
inline constexpr std::uint8_t kMirrorY = 2;  // mirrored in y (about a horizontal line)
// Frame bits.
inline constexpr std::uint8_t kFrameMargin1 = 1;     // framed with margin m1
inline constexpr std::uint8_t kFrameMarginBoth = 2;  // framed with margin m1 + m2

class QsTextBase : public QsFigure {
public:
    std::int32_t width = 0;        // character width
    std::int32_t height = 0;       // character height
    std::int32_t spacing = 0;      // gap between two characters
    std::int32_t penWidth = 0;     // line width of the strokes
    std::int32_t lineSpacing = 0;  // gap between two lines
    double angle = 0.0;            // radians, counter-clockwise about the position
    QsPoint position;              // the reference point
    std::uint8_t flags = 0;        // carried and copied unchanged
    std::uint8_t path = 0;         // kTextPathReverse or 0
    std::uint8_t justification = 0;
    std::uint8_t mirror = 0;  // kMirrorX, kMirrorY
    std::uint8_t frame = 0;   // kFrameMargin1, kFrameMarginBoth
    std::int32_t frameMargin1 = 0;
    std::int32_t frameMargin2 = 0;

    int typeCode() const override { return kQsTypeText; }
    int pointCount() const override { return 1; }
    QsPoint* mutablePoints() override { return &position; }
    QsPoint referencePoint() const override { return position; }

    // Whether there is anything to measure and outline.
    virtual bool hasString() const { return false; }
    // Width and height of the text as its font measures it. 0 (and the values saturated) when
    // they do not fit in 32 bits.
    virtual int extent(std::int32_t& w, std::int32_t& h) const;

    // The lower-left corner for an extent w x h: position moved against the justification (for
    // path 1 the width counts negative, so the corner is where the reversed text starts).
    // 0 when the corner would leave the 32-bit range.
    int lowerLeftCorner(std::int32_t w, std::int32_t h, QsPoint& corner) const;
    // The same with the text's own extent.
    int lowerLeft(QsPoint& corner) const;

    // The four corners of the text's box, enlarged by the frame margin (or by the pen width
    // without a frame), mirrored about the position as the mirror bits say and rotated about it
    // by the angle. 0 for a text without string or when a corner would leave the 32-bit range.
    int outlineCorners(std::array<QsPoint, 4>& corners) const;
    // The same for a text of the measured extent w x h (the string is not measured again).
    int outlineCornersOf(std::int32_t w, std::int32_t h, std::array<QsPoint, 4>& corners) const;
    // The same as a four-point polygon.
    int outline(QsPointPolygon& polygon) const;
    // The smallest box holding the outline; for a text without string, the position point.
    // 0 when the outline leaves the 32-bit range.
    int getBox(QsBox& box) const override;
    // The smallest box holding the outline of a text of the measured extent w x h: one
    // measurement serves several placements of the same string.
    int boxOf(std::int32_t w, std::int32_t h, QsBox& box) const;

    // Moves the position; mirrors and rotations go to the text's own rules below; scaling scales
    // the metrics as well.
    int transform(const QsTransform& t) override;
    // About the vertical line x = c: toggles mirror bit 0, negates a non-zero angle and mirrors
    // the position.
    int mirrorX(std::int32_t c) override;
    // About the horizontal line y = c: toggles mirror bit 1, negates a non-zero angle and
    // mirrors the position.
    int mirrorY(std::int32_t c) override;
    // Through the point c: the position goes to 2c - p, the text turns half a turn.
    int mirrorPoint(const QsPoint& c) override;
    // About the line through a and b at direction t: mirror bit 1 toggled, angle 2t - angle.
    int mirrorLine(const QsPoint& a, const QsPoint& b) override;
    // The angle grows by a (normalised into [0, 2pi)); the position rotates about c.
    int rotate(const QsPoint& c, double a) override;
    // width, height, spacing, lineSpacing and m1 times f, rounded; the position scaled about c.
    // penWidth and m2 stay. 0 (nothing changed) when a value would leave the 32-bit range.
    int scale(const QsPoint& c, double f) override;

protected:
    QsTextBase() = default;
    QsTextBase(const QsTextBase&) = default;
    QsTextBase& operator=(const QsTextBase&) = default;
};
