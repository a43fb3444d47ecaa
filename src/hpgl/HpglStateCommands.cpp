// Plotter set-up and pen attributes: IN, DF, IP, IR, PS, SP, PW, WU, LT, LA, FT and SM.

#include <algorithm>
#include <cstdint>

#include "hpgl/HpglHandlers.h"
#include "hpgl/HpglParams.h"

namespace {

constexpr double kDegreesToRadians = 0.017453292519943295;

int fail(StatementBatch& batch, int32_t code) {
    batch.addCode(code);
    return 0;
}

// Parses every parameter as an integer into v (at most v.size() kept); false on the first that
// does not convert.
template <size_t N>
bool allInts(const HpglStatement& st, int32_t (&v)[N]) {
    for (int i = 1; i < st.size(); ++i) {
        int32_t x = 0;
        if (!parseHpglInt(st[i], x)) return false;
        if (static_cast<size_t>(i - 1) < N) v[i - 1] = x;
    }
    return true;
}

bool toPoint(int64_t x, int64_t y, QsPoint& out) {
    if (!fitsInt32(x) || !fitsInt32(y)) return false;
    out = QsPoint(static_cast<int32_t>(x), static_cast<int32_t>(y));
    return true;
}

// P2 for a new P1: the given P2, or the old P2 keeping its offset from P1; P1 + (1, 1) when the
// two would coincide. False when a coordinate leaves the 32-bit range.
bool placeP2(const PlotPage& page, const QsPoint& p1, bool p2Given, int64_t p2x, int64_t p2y,
             QsPoint& p2) {
    if (!p2Given) {
        p2x = int64_t{page.p2.x} + (int64_t{p1.x} - page.p1.x);
        p2y = int64_t{page.p2.y} + (int64_t{p1.y} - page.p1.y);
    }
    if (p2x == p1.x && p2y == p1.y) {
        p2x = int64_t{p1.x} + 1;
        p2y = int64_t{p1.y} + 1;
    }
    return toPoint(p2x, p2y, p2);
}

bool isNonNegativeInt16(int32_t v) {
    return v >= 0 && v <= INT16_MAX;
}

// After IP or IR: the scaling follows the new P1 and P2, and the pen goes to the origin.
void pageChanged(HpglInterpreter& in) {
    in.updateTransform();
    in.resetPosition(in.pen().current);
}

}  // namespace

int handleIN(HpglInterpreter& in, const HpglStatement&, StatementBatch& batch) {
    // With user scaling, the coordinate system is turned back too (DF ends the scaling itself).
    if (in.scaling().enabled) {
        in.scaling().quarterTurns = 0;
        in.updateTransform();
    }
    // The handlers run as if read without parameters (PA with the origin), on a scratch batch
    // whose figures are dropped.
    StatementBatch scratch;
    int ok = handleDF(in, HpglStatement{"DF"}, scratch);
    ok &= handleIP(in, HpglStatement{"IP"}, scratch);
    ok &= handleWU(in, HpglStatement{"WU"}, scratch);
    ok &= handlePW(in, HpglStatement{"PW"}, scratch);
    ok &= handlePU(in, HpglStatement{"PU"}, scratch);
    ok &= handlePA(in, HpglStatement{"PA", "0.0", "0.0"}, scratch);
    ok &= handlePS(in, HpglStatement{"PS"}, scratch);
    return ok ? 1 : fail(batch, kHpglCodeIN);
}

int handleDF(HpglInterpreter& in, const HpglStatement&, StatementBatch& batch) {
    if (in.scaling().enabled) {
        in.scaling().scale = UserScale();
        in.updateTransform();
    }
    StatementBatch scratch;
    int ok = handleFT(in, HpglStatement{"FT"}, scratch);
    ok &= handleLA(in, HpglStatement{"LA"}, scratch);
    in.pen().saved = in.pen().current;
    ok &= handleSM(in, HpglStatement{"SM"}, scratch);
    ok &= handleLT(in, HpglStatement{"LT"}, scratch);
    ok &= handlePA(in, HpglStatement{"PA"}, scratch);
    ok &= handleAD(in, HpglStatement{"AD"}, scratch);
    ok &= handleDI(in, HpglStatement{"DI"}, scratch);
    ok &= handleDT(in, HpglStatement{"DT"}, scratch);
    ok &= handleDV(in, HpglStatement{"DV"}, scratch);
    ok &= handleES(in, HpglStatement{"ES"}, scratch);
    ok &= handleLO(in, HpglStatement{"LO", "1"}, scratch);
    ok &= handlePM(in, HpglStatement{"PM", "0"}, scratch);
    ok &= handlePM(in, HpglStatement{"PM", "2"}, scratch);
    ok &= handleSD(in, HpglStatement{"SD"}, scratch);
    ok &= handleSI(in, HpglStatement{"SI"}, scratch);
    ok &= handleSS(in, HpglStatement{"SS"}, scratch);
    ok &= handleTD(in, HpglStatement{"TD"}, scratch);
    return ok ? 1 : fail(batch, kHpglCodeDF);
}

int handleIP(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    PlotPage& page = in.page();
    const int n = st.parameterCount();
    if (n == 0) {
        const QsPoint size = in.frameSize();
        page.p1 = QsPoint(0, 0);
        page.p2 = size == QsPoint(0, 0) ? QsPoint(1, 1) : size;
        pageChanged(in);
        return 1;
    }
    int32_t v[4] = {};
    if (!allInts(st, v) || n == 1 || n == 3) return fail(batch, kHpglCodeIP);
    const QsPoint p1(v[0], v[1]);
    QsPoint p2;
    if (!placeP2(page, p1, n >= 4, v[2], v[3], p2)) return fail(batch, kHpglCodeIP);
    page.p1 = p1;
    page.p2 = p2;
    pageChanged(in);
    return 1;
}

int handleIR(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    PlotPage& page = in.page();
    const int n = st.parameterCount();
    const QsPoint size = in.frameSize();
    if (n == 0) {
        page.p1 = QsPoint(0, 0);
        page.p2 = size;
        if (page.p2 == page.p1) page.p2 = QsPoint(1, 1);
        pageChanged(in);
        return 1;
    }
    double q[4] = {};
    for (int i = 1; i <= n; ++i) {
        double x = 0.0;
        if (!parseHpglReal(st[i], x)) return fail(batch, kHpglCodeIR);
        if (i <= 4) q[i - 1] = x;
    }
    if (n == 1 || n == 3) return fail(batch, kHpglCodeIR);
    // Percentages of the plot size, truncated.
    int32_t c[4] = {};
    const int used = n >= 4 ? 4 : 2;
    for (int i = 0; i < used; ++i) {
        const double side = i % 2 == 0 ? size.x : size.y;
        if (!tryTruncTowardZero(side * q[i] * 0.01, c[i])) return fail(batch, kHpglCodeIR);
    }
    const QsPoint p1(c[0], c[1]);
    QsPoint p2;
    if (!placeP2(page, p1, n >= 4, c[2], c[3], p2)) return fail(batch, kHpglCodeIR);
    page.p1 = p1;
    page.p2 = p2;
    pageChanged(in);
    return 1;
}

int handlePS(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    PlotPage& page = in.page();
    const int n = st.parameterCount();
    if (n == 0) {
        page.plotSize = PlotPage::kDefaultSize;
    } else {
        int32_t v[2] = {};
        if (!allInts(st, v)) return fail(batch, kHpglCodePS);
        // A side below 1, or a missing width, leaves everything as it was.
        if (v[0] < 1 || n < 2 || v[1] < 1) return 1;
        page.plotSize = QsPoint(std::max(v[0], v[1]), std::min(v[0], v[1]));
    }
    page.p2 = page.plotSize;
    in.updateTransform();
    in.resetPosition(in.pen().current);
    in.resetPosition(in.pen().previous);
    in.resetPosition(in.pen().saved);
    return 1;
}

int handleSP(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    if (st.parameterCount() == 0) {
        in.pen().number = 0;
        batch.pen = 0;
        return 1;
    }
    int32_t n = 0;
    if (!intParam(st, 1, n) || !isNonNegativeInt16(n)) return fail(batch, kHpglCodeSP);
    in.pen().number = static_cast<int16_t>(n);
    batch.pen = in.pen().number;
    in.polygon().buffer.pen = in.pen().number;
    return reapplyPolygonAttributes(in, batch.running) ? 1 : fail(batch, kHpglCodeSP);
}

int handleWU(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    if (st.parameterCount() == 0) {
        in.lines().relativeWidths = false;
        return 1;
    }
    int32_t m = 0;
    if (!intParam(st, 1, m) || (m != 0 && m != 1)) return fail(batch, kHpglCodeWU);
    in.lines().relativeWidths = m == 1;
    return 1;
}

int handlePW(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    const int n = st.parameterCount();
    if (n == 0) {
        int32_t w = 0;
        if (in.lines().relativeWidths && !in.relativeSize(0.1, w)) return fail(batch, kHpglCodePW);
        in.lines().width = w;
        in.lines().widthPen = 0;
        return 1;
    }
    double w = 0.0;
    if (!realParam(st, 1, w) || !(w >= 0.0)) return fail(batch, kHpglCodePW);
    int32_t forPen = 0;
    if (n >= 2 && (!intParam(st, 2, forPen) || !isNonNegativeInt16(forPen))) {
        return fail(batch, kHpglCodePW);
    }
    int32_t width = 0;
    const bool fits = in.lines().relativeWidths ? in.relativeSize(w, width)
                                                : tryTruncTowardZero(w * 100000.0, width);
    if (!fits) return fail(batch, kHpglCodePW);
    in.lines().width = width;
    in.lines().widthPen = static_cast<int16_t>(forPen);
    return reapplyPolygonAttributes(in, batch.running) ? 1 : fail(batch, kHpglCodePW);
}

int handleLT(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    const int n = st.parameterCount();
    if (n == 0) {
        in.lines().dashed = false;
        return 1;
    }
    int32_t type = 0;
    double length = 0.0;
    int32_t mode = 0;
    if (n > 3 || !intParam(st, 1, type)) return fail(batch, kHpglCodeLT);
    if (n >= 2 && (!realParam(st, 2, length) || !(length > 0.0))) return fail(batch, kHpglCodeLT);
    if (n >= 3 && (!intParam(st, 3, mode) || (mode != 0 && mode != 1))) {
        return fail(batch, kHpglCodeLT);
    }
    // The type, length and mode are checked; a figure is only either solid or dashed.
    if (type == 99) return 1;
    if (type < -8 || type > 8) return fail(batch, kHpglCodeLT);
    in.lines().dashed = true;
    return 1;
}

int handleLA(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    const int n = st.parameterCount();
    if (n == 0) {
        in.lines().lineEnd = LineEnd::kRound;
        return 1;
    }
    int32_t endValue = 4;
    for (int i = 1; i <= n; i += 2) {
        int32_t kind = 0;
        if (!intParam(st, i, kind)) return fail(batch, kHpglCodeLA);
        if (i + 1 > n) break;  // a kind without a value is accepted
        if (kind == 1) {
            if (!intParam(st, i + 1, endValue)) return fail(batch, kHpglCodeLA);
        } else if (kind != 2 && kind != 3) {
            return fail(batch, kHpglCodeLA);
        }
    }
    if (endValue < 1 || endValue > 4) return fail(batch, kHpglCodeLA);
    in.lines().lineEnd = static_cast<LineEnd>(endValue - 1);
    return 1;
}

int handleFT(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    const int n = st.parameterCount();
    if (n == 0) {
        in.lines().hatched = false;
        return 1;
    }
    // The second parameter, the spacing, is not read.
    int32_t type = 0;
    double angle = 0.0;
    if (!intParam(st, 1, type)) return fail(batch, kHpglCodeFT);
    if (n >= 3 && !realParam(st, 3, angle)) return fail(batch, kHpglCodeFT);
    if (type < 1 || type > 11 || (type >= 5 && type <= 9)) return fail(batch, kHpglCodeFT);
    in.lines().hatched = type == 3;
    if (n >= 3) in.lines().hatchAngle = angle * kDegreesToRadians;
    return reapplyPolygonAttributes(in, batch.running) ? 1 : fail(batch, kHpglCodeFT);
}

int handleSM(HpglInterpreter& in, const HpglStatement& st, StatementBatch&) {
    SymbolMode& symbol = in.symbol();
    PenState& pen = in.pen();
    if (st.parameterCount() > 0) {
        symbol.character = static_cast<unsigned char>(st[1][0]);
        symbol.active = true;
        pen.saved = pen.current;
    } else {
        if (symbol.active) pen.current = pen.saved;
        symbol.active = false;
    }
    return 1;
}
