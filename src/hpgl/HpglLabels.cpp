// Labels and character attributes: LB, DT, SI, SR, SD, AD, SS, SA, ES, LO, DI, DR, CP, and DV and
// TD (run only by DF).

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <numbers>
#include <string>

#include "font/SystemFontTable.h"
#include "geom/QsBox.h"
#include "geom/QsText.h"
#include "hpgl/HpglHandlers.h"
#include "hpgl/HpglParams.h"

namespace {

int fail(StatementBatch& batch, int32_t code) {
    batch.addCode(code);
    return 0;
}

// Terminators that would make labels unreadable: NUL, ENQ, ESC and ";".
bool isRefusedTerminator(unsigned char c) {
    return c == 0 || c == 5 || c == 27 || c == ';';
}

// The control characters of a label: end of text, line feed, carriage return, shift out and in.
constexpr unsigned char kEndOfText = 3;
constexpr unsigned char kLineFeed = 10;
constexpr unsigned char kCarriageReturn = 13;
constexpr unsigned char kShiftOut = 14;
constexpr unsigned char kShiftIn = 15;

bool isLabelControl(unsigned char c) {
    return c == kEndOfText || c == kLineFeed || c == kCarriageReturn || c == kShiftOut ||
           c == kShiftIn;
}

// The justification code of each label origin 1 to 9 (left column first, bottom to top).
constexpr unsigned char kOriginCodes[9] = {0, 4, 8, 1, 5, 9, 2, 6, 10};

// |P2x - P1x| and |P2y - P1y| of the plot page, the reference of relative sizes.
double pageExtentX(const PlotPage& page) {
    return std::fabs(double(int64_t{page.p2.x} - page.p1.x));
}
double pageExtentY(const PlotPage& page) {
    return std::fabs(double(int64_t{page.p2.y} - page.p1.y));
}

// The two parameters of a command that takes none or two (SI, SR, DI, DR, CP): true with
// given = false for none, true with both values for two or more, false for one parameter or one
// that does not convert.
bool pairParams(const HpglStatement& st, bool& given, double& a, double& b) {
    given = st.parameterCount() > 0;
    if (!given) return true;
    return realParam(st, 1, a) && realParam(st, 2, b);
}

// The label direction of a run and a rise; straight up or down when run is 0, and 0 when both
// are.
double directionOf(double run, double rise) {
    if (run == 0.0) {
        if (rise > 0.0) return std::numbers::pi / 2.0;
        if (rise < 0.0) return -std::numbers::pi / 2.0;
        return 0.0;
    }
    return std::atan2(rise, run);
}

// The point p moved by the offset (dx, dy) turned by angle a about p, each turned coordinate of
// the offset rounded half away from zero. The offset may reach beyond the 32-bit range; false
// when the point it leads to does.
bool moveTurned(const QsPoint& p, double dx, double dy, double a, QsPoint& out) {
    const double ca = std::cos(a);
    const double sa = std::sin(a);
    const int64_t x = int64_t{p.x} + roundHalfAway64(dx * ca - dy * sa);
    const int64_t y = int64_t{p.y} + roundHalfAway64(dx * sa + dy * ca);
    if (!fitsInt32(x) || !fitsInt32(y)) return false;
    out = QsPoint(static_cast<int32_t>(x), static_cast<int32_t>(y));
    return true;
}

// The label direction on the page: the direction of DI or DR, turned further by RO's quarter
// turns of the coordinate system.
double pageDirection(const HpglInterpreter& in) {
    const double direction = in.labels().direction;
    const int turns = in.transform().quarterTurns();
    return turns == 0 ? direction : direction + turns * (std::numbers::pi / 2.0);
}

// p moved by s character spacings and n line spacings of the selected font, against the axes
// that the mirror flags turn round, in the direction on the page.
bool plotOffset(const LabelState& ls, double direction, const QsPoint& p, double s, double n,
                QsPoint& out) {
    const LabelFontSize& f = ls.selected();
    int32_t dx = 0;
    int32_t dy = 0;
    if (!tryRoundHalfAway(f.spacing * s, dx) || !tryRoundHalfAway(f.lineSpacing * n, dy))
        return false;
    const double ox = (ls.mirrorFlags & LabelState::kMirrorWidth) ? -double(dx) : double(dx);
    const double oy = (ls.mirrorFlags & LabelState::kMirrorHeight) ? -double(dy) : double(dy);
    return moveTurned(p, ox, oy, direction, out);
}

bool roundedPosition(const PenPosition& pos, QsPoint& out) {
    return QsDPoint(pos.x, pos.y).tryRounded(out);
}

// The character-plot move of s spaces and n lines: the pen moves, and with n != 0 the
// carriage-return point moves by the same lines. Nothing changes when a point would leave the
// 32-bit range.
bool characterPlotMove(HpglInterpreter& in, double s, double n) {
    const LabelState& ls = in.labels();
    const double direction = pageDirection(in);
    PenState& pen = in.pen();
    QsPoint p;
    QsPoint newCurrent;
    if (!roundedPosition(pen.current, p) || !plotOffset(ls, direction, p, s, n, newCurrent))
        return false;
    QsPoint newPrevious;
    if (n != 0.0) {
        QsPoint q;
        if (!roundedPosition(pen.previous, q) || !plotOffset(ls, direction, q, 0.0, n, newPrevious))
            return false;
        pen.previous = PenPosition{double(newPrevious.x), double(newPrevious.y)};
    }
    pen.current = PenPosition{double(newCurrent.x), double(newCurrent.y)};
    return true;
}

// Where the pen goes after the text: for a text that starts at its position and runs to the
// right, the far side of the box of the unrotated text plus one character gap, on the bottom
// line of that box, mirrored about the position as the label is and turned about it by the
// direction on the page; otherwise the position itself. An empty text leaves the pen where it
// is. False when the box (its corners are coordinates) or the end point leaves the 32-bit range.
bool textEndPoint(const QsText& text, const LabelState& ls, double direction, QsPoint& end) {
    const QsPoint& pos = text.position;
    end = pos;
    if (ls.originCode != 0 || ls.textPath != 0 || !text.hasString()) return true;
    // The text is not turned yet; its box already carries the mirror flags.
    QsBox box;
    if (!text.getBox(box)) return false;
    int64_t x = int64_t{box.x2} + text.spacing;
    int64_t y = box.y1;
    if (ls.mirrorFlags & LabelState::kMirrorWidth) x = 2 * int64_t{pos.x} - x;
    if (ls.mirrorFlags & LabelState::kMirrorHeight) y = 2 * int64_t{pos.y} - y;
    return moveTurned(pos, double(x - pos.x), double(y - pos.y), direction, end);
}

// Makes a text of the buffer at the pen with the selected font's sizes, adds it to the batch and
// moves the pen to its end. The buffer is emptied in every case. False when the text cannot be
// made or would leave the 32-bit range (nothing is added and the pen stays).
bool flushText(HpglInterpreter& in, std::string& buffer, StatementBatch& batch) {
    const LabelState& ls = in.labels();
    const LabelFontSize& f = ls.selected();
    const int64_t gap = int64_t{f.spacing} - f.width;
    const int64_t lineGap = int64_t{f.lineSpacing} - f.height;
    QsPoint pos;
    if (!roundedPosition(in.pen().current, pos) || !fitsInt32(gap) || !fitsInt32(lineGap)) {
        buffer.clear();
        return false;
    }
    try {
        auto text = std::make_unique<QsText>(
            pos, buffer, f.width, f.height, static_cast<int32_t>(gap), f.strokeWidth, ls.originCode,
            ls.textPath, static_cast<int32_t>(lineGap), 0, 0, 0, kStandardFontNumber,
            kJapaneseFontNumber);
        const bool stored = text->stringView().size() == buffer.size();
        buffer.clear();
        if (!stored) return false;
        text->mirror = ls.mirrorFlags;
        QsPoint end;
        const double direction = pageDirection(in);
        if (!textEndPoint(*text, ls, direction, end) || !text->rotate(pos, direction)) return false;
        batch.addFigure(std::move(text));
        in.pen().current = PenPosition{double(end.x), double(end.y)};
        return true;
    } catch (const std::bad_alloc&) {
        buffer.clear();
        return false;
    }
}

// SD and AD with parameters: pairs of kind and value; kind 3 sets the pitch, kind 4 the height.
// The pairs before a failing parameter stay applied.
int defineFont(LabelFontSize& font, double k, const HpglStatement& st, StatementBatch& batch,
               int32_t code) {
    const int n = st.parameterCount();
    for (int i = 1; i <= n; i += 2) {
        int32_t kind = 0;
        if (!intParam(st, i, kind)) return fail(batch, code);
        if (i + 1 > n) break;
        double value = 0.0;
        if (!realParam(st, i + 1, value)) return fail(batch, code);
        if (kind == 3 && !LabelState::setPitch(font, value)) return fail(batch, code);
        if (kind == 4 && !LabelState::setHeight(font, value, k)) return fail(batch, code);
    }
    return 1;
}

// SI and SR with parameters: both fonts get width w and height h (output units); the mirror
// flags tell which of the given values were negative.
int setCharacterSize(LabelState& ls, double w, double h, bool negativeW, bool negativeH,
                     StatementBatch& batch, int32_t code) {
    if (!ls.setBothAbsolute(w, h)) return fail(batch, code);
    ls.mirrorFlags = static_cast<unsigned char>((negativeW ? LabelState::kMirrorWidth : 0) |
                                                (negativeH ? LabelState::kMirrorHeight : 0));
    return 1;
}

}  // namespace

int handleLB(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    if (st.parameterCount() < 1) return fail(batch, kHpglCodeLB);
    LabelState& ls = in.labels();
    const std::string_view label = st[1];
    std::string buffer;
    int result = 1;
    try {
        buffer.reserve(label.size());
    } catch (const std::bad_alloc&) {
        return fail(batch, kHpglCodeLB);
    }
    for (std::size_t i = 0; i < label.size();) {
        // Printed characters up to the next terminator or control character, at once.
        std::size_t j = i;
        while (j < label.size() && static_cast<unsigned char>(label[j]) != ls.terminator &&
               !isLabelControl(static_cast<unsigned char>(label[j])))
            ++j;
        buffer.append(label.data() + i, j - i);
        if (j == label.size()) break;
        unsigned char c = static_cast<unsigned char>(label[j]);
        i = j + 1;
        if (c == ls.terminator) {
            const bool controlTerminator = isLabelControl(c);
            if (ls.terminatorPrinted && !controlTerminator) buffer.push_back(static_cast<char>(c));
            if (!(ls.terminatorPrinted && controlTerminator)) c = kEndOfText;
        }
        if (!isLabelControl(c)) {
            buffer.push_back(static_cast<char>(c));
            continue;
        }
        if (!flushText(in, buffer, batch)) result = fail(batch, kHpglCodeLB);
        switch (c) {
            case kLineFeed:
                if (!characterPlotMove(in, 0.0, -1.0)) return fail(batch, kHpglCodeLB);
                break;
            case kCarriageReturn:
                in.pen().current = in.pen().previous;
                break;
            case kShiftOut:
                ls.alternateSelected = true;
                break;
            case kShiftIn:
                ls.alternateSelected = false;
                break;
            default:
                break;
        }
    }
    // What follows the last control character of a label cut off by the end of the input is
    // dropped.
    return result;
}

int handleDT(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    unsigned char terminator = LabelState::kDefaultTerminator;
    if (st.parameterCount() >= 1 && !st[1].empty())
        terminator = static_cast<unsigned char>(st[1][0]);
    int32_t mode = 1;
    if (st.parameterCount() >= 2 && !intParam(st, 2, mode)) return fail(batch, kHpglCodeDT);
    if ((mode != 0 && mode != 1) || isRefusedTerminator(terminator)) {
        return fail(batch, kHpglCodeDT);
    }
    in.labels().terminator = terminator;
    in.labels().terminatorPrinted = mode == 0;
    return 1;
}

int handleSI(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    LabelState& ls = in.labels();
    const double k = in.unitFactor();
    bool given = false;
    double w = 0.0;
    double h = 0.0;
    if (!pairParams(st, given, w, h)) return fail(batch, kHpglCodeSI);
    if (given) {
        // w and h are centimetres.
        return setCharacterSize(ls, std::trunc(625.0 * k * w), std::trunc(625.0 * k * h), w < 0,
                                h < 0, batch, kHpglCodeSI);
    }
    LabelFontSize standard = ls.standard;
    LabelFontSize alternate = ls.alternate;
    for (LabelFontSize* f : {&standard, &alternate}) {
        if (!LabelState::setPitch(*f, LabelState::kDefaultPitch) ||
            !LabelState::setHeight(*f, LabelState::kDefaultHeight, k)) {
            return fail(batch, kHpglCodeSI);
        }
    }
    ls.standard = standard;
    ls.alternate = alternate;
    ls.mirrorFlags = 0;
    return 1;
}

int handleSR(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    LabelState& ls = in.labels();
    bool given = false;
    double w = 0.75;
    double h = 1.5;
    if (!pairParams(st, given, w, h)) return fail(batch, kHpglCodeSR);
    const double ek = pageExtentX(in.page()) * in.unitFactor();
    if (!given) {
        if (!ls.setBothAbsolute(std::trunc(ek * 0.75), std::trunc(ek * 1.5)))
            return fail(batch, kHpglCodeSR);
        ls.mirrorFlags = 0;
        return 1;
    }
    return setCharacterSize(ls, std::trunc(ek * w), std::trunc(ek * h), w < 0, h < 0, batch,
                            kHpglCodeSR);
}

int handleSD(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    LabelFontSize& font = in.labels().standard;
    const double k = in.unitFactor();
    if (st.parameterCount() > 0) return defineFont(font, k, st, batch, kHpglCodeSD);
    return LabelState::setDefaults(font, k) ? 1 : fail(batch, kHpglCodeSD);
}

int handleAD(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    LabelFontSize& font = in.labels().alternate;
    const double k = in.unitFactor();
    if (st.parameterCount() > 0) return defineFont(font, k, st, batch, kHpglCodeAD);
    return LabelState::setDefaults(font, k) ? 1 : fail(batch, kHpglCodeAD);
}

int handleSS(HpglInterpreter& in, const HpglStatement&, StatementBatch&) {
    in.labels().alternateSelected = false;
    return 1;
}

int handleSA(HpglInterpreter& in, const HpglStatement&, StatementBatch&) {
    in.labels().alternateSelected = true;
    return 1;
}

int handleES(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    double values[2] = {0.0, 0.0};  // spaces, lines
    const int n = st.parameterCount() < 2 ? st.parameterCount() : 2;
    for (int i = 0; i < n; ++i) {
        if (!realParam(st, i + 1, values[i]) || values[i] < -1.0 || values[i] > 1.0)
            return fail(batch, kHpglCodeES);
    }
    LabelState& ls = in.labels();
    LabelFontSize standard = ls.standard;
    LabelFontSize alternate = ls.alternate;
    if (!LabelState::addExtraSpace(standard, values[0], values[1]) ||
        !LabelState::addExtraSpace(alternate, values[0], values[1]))
        return fail(batch, kHpglCodeES);
    ls.standard = standard;
    ls.alternate = alternate;
    return 1;
}

int handleLO(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    int32_t origin = 1;
    if (st.parameterCount() > 0 && !intParam(st, 1, origin)) return fail(batch, kHpglCodeLO);
    if (origin >= 11 && origin <= 19) origin -= 10;
    in.labels().originCode = origin >= 1 && origin <= 9 ? kOriginCodes[origin - 1] : 0;
    in.pen().previous = in.pen().current;
    return 1;
}

int handleDI(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    bool given = false;
    double run = 0.0;
    double rise = 0.0;
    if (!pairParams(st, given, run, rise)) return fail(batch, kHpglCodeDI);
    in.labels().direction = directionOf(run, rise);
    in.pen().previous = in.pen().current;
    return 1;
}

int handleDR(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    bool given = false;
    double run = 0.0;
    double rise = 0.0;
    if (!pairParams(st, given, run, rise)) return fail(batch, kHpglCodeDR);
    if (given) {
        // Relative to the page: fractions of P2 - P1 in each axis.
        const double k = in.unitFactor();
        run = std::trunc(pageExtentX(in.page()) * k * run);
        rise = std::trunc(pageExtentY(in.page()) * k * rise);
    }
    in.labels().direction = directionOf(run, rise);
    in.pen().previous = in.pen().current;
    return 1;
}

int handleCP(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    bool given = false;
    double spaces = 0.0;
    double lines = 0.0;
    if (!pairParams(st, given, spaces, lines)) return fail(batch, kHpglCodeCP);
    if (given) return characterPlotMove(in, spaces, lines) ? 1 : fail(batch, kHpglCodeCP);
    // Carriage return and line feed.
    PenState& pen = in.pen();
    const PenPosition current = pen.current;
    pen.current = pen.previous;
    if (!characterPlotMove(in, 0.0, -1.0)) {
        pen.current = current;
        return fail(batch, kHpglCodeCP);
    }
    return 1;
}

int handleDV(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    int32_t path = 0;
    int32_t line = 0;
    if (st.parameterCount() >= 1 && !intParam(st, 1, path)) return fail(batch, kHpglCodeDV);
    if (st.parameterCount() >= 2 && !intParam(st, 2, line)) return fail(batch, kHpglCodeDV);
    static constexpr unsigned char kPaths[4] = {0, 3, 1, 2};
    if (path < 0 || path > 3 || (line != 0 && line != 1)) return fail(batch, kHpglCodeDV);
    in.labels().textPath = kPaths[path];
    in.labels().lineFeed = line == 0;
    in.pen().previous = in.pen().current;
    return 1;
}

int handleTD(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    int32_t mode = 0;
    if (st.parameterCount() >= 1 && !intParam(st, 1, mode)) return fail(batch, kHpglCodeTD);
    if (mode != 0 && mode != 1) return fail(batch, kHpglCodeTD);
    in.labels().transparentData = mode == 1;
    return 1;
}
