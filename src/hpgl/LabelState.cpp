#include "hpgl/LabelState.h"

#include <cmath>

#include "geom/QsPoint.h"

LabelState::LabelState(double k) {
    setDefaults(standard, k);
    setDefaults(alternate, k);
}

bool LabelState::setPitch(LabelFontSize& font, double p) {
    int32_t spacing = 0;
    if (!tryTruncTowardZero(100000.0 / p, spacing)) return false;
    font.spacing = spacing;
    font.width = static_cast<int32_t>((2 * static_cast<int64_t>(spacing)) / 3);
    return true;
}

bool LabelState::setHeight(LabelFontSize& font, double h, double k) {
    int32_t height = 0;
    int32_t lineSpacing = 0;
    if (!tryTruncTowardZero(k * h * 10.0, height)) return false;
    if (!tryTruncTowardZero(1.2 * height, lineSpacing)) return false;
    font.height = height;
    font.lineSpacing = lineSpacing;
    return true;
}

bool LabelState::setAbsoluteWidth(LabelFontSize& font, double w) {
    int32_t width = 0;
    int32_t spacing = 0;
    if (!tryTruncTowardZero(w, width) || !tryTruncTowardZero(1.5 * width, spacing)) return false;
    font.width = width;
    font.spacing = spacing;
    return true;
}

bool LabelState::setAbsoluteHeight(LabelFontSize& font, double v) {
    int32_t height = 0;
    int32_t lineSpacing = 0;
    if (!tryTruncTowardZero(v, height) || !tryTruncTowardZero(1.2 * height, lineSpacing))
        return false;
    font.height = height;
    font.lineSpacing = lineSpacing;
    return true;
}

bool LabelState::setDefaults(LabelFontSize& font, double k) {
    LabelFontSize f = font;
    if (!setPitch(f, kDefaultPitch) || !setHeight(f, kDefaultHeight, k)) return false;
    f.strokeWidth = 0;
    font = f;
    return true;
}

bool LabelState::addExtraSpace(LabelFontSize& font, double spaces, double lines) {
    int32_t spacing = 0;
    int32_t lineSpacing = 0;
    const bool spacingOk = spaces == 0.0 ? tryTruncTowardZero(1.5 * font.width, spacing)
                                         : tryRoundHalfAway(font.spacing * (1.0 + spaces), spacing);
    const bool linesOk = lines == 0.0
                             ? tryTruncTowardZero(1.2 * font.height, lineSpacing)
                             : tryRoundHalfAway(font.lineSpacing * (1.0 + lines), lineSpacing);
    if (!spacingOk || !linesOk) return false;
    font.spacing = spacing;
    font.lineSpacing = lineSpacing;
    return true;
}

bool LabelState::setBothAbsolute(double w, double h) {
    LabelFontSize s = standard;
    LabelFontSize a = alternate;
    if (!setAbsoluteWidth(s, w) || !setAbsoluteHeight(s, h) || !setAbsoluteWidth(a, w) ||
        !setAbsoluteHeight(a, h))
        return false;
    standard = s;
    alternate = a;
    return true;
}
