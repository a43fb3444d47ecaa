// The vector commands PA, PR, PD, PU and PE, the stroke routine they share and the finishing of
// a line figure (shared with the arcs and circles).

#include <charconv>
#include <cmath>
#include <exception>
#include <memory>
#include <string>

#include "geom/QsPolyline.h"
#include "hpgl/HpglHandlers.h"
#include "hpgl/HpglParams.h"

namespace {

int fail(StatementBatch& batch, int32_t code) {
    batch.addCode(code);
    return 0;
}

}  // namespace

int strokeStatement(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch,
                    bool absolute, bool penIsDown) {
    std::vector<QsPoint>& vertices = in.strokeScratch();
    vertices.clear();
    const double k = unitFactor();
    QsDPoint p(in.current.x, in.current.y);
    QsPoint v;
    const bool skipFirst = in.polygonAux != 0;
    in.polygonAux = 0;
    try {
        if (!skipFirst) {
            if (!p.tryRounded(v)) return 0;
            vertices.push_back(v);
        }
        // Pairs x, y; a trailing x without its y is read but not used.
        const int n = st.size();
        for (int i = 1; i < n; i += 2) {
            double x = 0.0;
            double y = 0.0;
            if (!parseHpglReal(st[i], x)) return 0;
            if (i + 1 >= n) break;
            if (!parseHpglReal(st[i + 1], y)) return 0;
            const QsDPoint q(k * x, k * y);
            p = absolute ? q : p + q;
            // A vertex outside the 32-bit range fails the statement.
            if (!p.tryRounded(v)) return 0;
            if (vertices.size() >= static_cast<size_t>(QsRecordFigure::kMaxSlots)) {
                return fail(batch, kHpglCodeVertexAppend);
            }
            vertices.push_back(v);
        }
    } catch (const std::exception&) {
        return fail(batch, kHpglCodeVertexAppend);
    }
    // The polyline is only kept with the pen down; a pen-up statement just moves.
    std::unique_ptr<QsPolyline> line;
    if (penIsDown) {
        const int count = static_cast<int>(vertices.size());
        line = std::make_unique<QsPolyline>(vertices.data(), count);
        if (line->usedCount() != count) return fail(batch, kHpglCodeVertexAppend);
    }
    in.current.x = p.x;
    in.current.y = p.y;
    in.previous = in.current;
    if (!line) return 1;
    if (!finishLineFigure(in, *line, false)) return fail(batch, kHpglCodeLineFinish);
    batch.addFigure(std::move(line));
    return 1;
}

int finishLineFigure(HpglInterpreter& in, QsPolyline& line, bool closedForm) {
    if (in.widthPen == 0 || in.widthPen == in.pen) line.setWidth(-1, in.lineWidth);
    // Strokes in polygon mode get neither line type nor line ends.
    if (in.polygonMode != 0) return 1;
    line.setFirstAttribute(in.dashed);
    if (closedForm) return 1;
    switch (in.lineEnd) {
        case 0: {
            // Butt ends: each end moves back by half the width.
            const int startOk = line.extendStart(-100);
            const int endOk = line.extendEnd(-100);
            if (!startOk || !endOk) return 0;
            line.setSecondAttribute(1);
            break;
        }
        case 1:
            line.setSecondAttribute(1);
            break;
        case 2:
        case 3:
            line.setSecondAttribute(0);
            break;
        default:
            break;
    }
    return 1;
}

int handlePA(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    in.absolute = 1;
    if (st.parameterCount() == 0) {
        in.previous = in.current;
        return 1;
    }
    return strokeStatement(in, st, batch, true, in.penDown != 0) ? 1 : fail(batch, kHpglCodePA);
}

int handlePR(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    in.absolute = 0;
    if (st.parameterCount() == 0) {
        in.previous = in.current;
        return 1;
    }
    return strokeStatement(in, st, batch, false, in.penDown != 0) ? 1 : fail(batch, kHpglCodePR);
}

int handlePD(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    in.penDown = 1;
    if (st.parameterCount() == 0) return 1;
    return strokeStatement(in, st, batch, in.absolute != 0, true) ? 1 : fail(batch, kHpglCodePD);
}

int handlePU(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    in.penDown = 0;
    if (st.parameterCount() == 0) return 1;
    return strokeStatement(in, st, batch, in.absolute != 0, false) ? 1 : fail(batch, kHpglCodePU);
}

// --- PE, polyline encoded -------------------------------------------------------------------

namespace {

// The characters that can stand in the number data: all but NUL and the four flag characters.
bool isNumberChar(unsigned char c) {
    return c != 0 && c != '7' && c != ':' && c != '<' && c != '>';
}

// One parameter string of a PE statement, scanned with a running index. A NUL ends the data.
class EncodedScan {
public:
    EncodedScan(HpglInterpreter& in, const std::string& s)
        : in_(in), s_(reinterpret_cast<const unsigned char*>(s.data())), n_(s.find('\0')) {
        if (n_ == std::string::npos) n_ = s.size();
    }

    bool atEnd() const { return i_ >= n_; }
    unsigned char at(size_t i) const { return i < n_ ? s_[i] : 0; }
    unsigned char cur() const { return at(i_); }
    unsigned char next() const { return at(i_ + 1); }
    void step() { ++i_; }

    // Decodes one number from the index on; the index then rests on its last character. Digits
    // are byte - 63, least significant first; a digit at or above the terminator offset is
    // reduced by it and ends the number. Data that ends first leaves the digits read so far, so
    // a number with no data left is 0 (the index stays past the end). False only when the
    // magnitude does not fit in 64 bits (the whole number is still read).
    bool decode(double& value) {
        value = 0.0;
        if (atEnd()) return true;
        const int64_t base = in_.encodedBase;
        const int64_t limit = in_.encodedLimit;
        int64_t magnitude = 0;
        int64_t power = 1;
        bool powerTooLarge = false;
        bool tooLarge = false;
        for (;;) {
            int64_t d = int64_t{s_[i_]} - 63;
            bool last = false;
            if (d >= limit) {
                d -= limit;
                last = true;
            }
            if (d != 0 && !tooLarge) {
                int64_t term = 0;
                tooLarge = powerTooLarge || __builtin_mul_overflow(d, power, &term) ||
                           __builtin_add_overflow(magnitude, term, &magnitude);
            }
            if (last || i_ + 1 >= n_) break;
            ++i_;
            if (!powerTooLarge && __builtin_mul_overflow(power, base, &power)) powerTooLarge = true;
        }
        if (tooLarge) return false;
        const int64_t v = (magnitude & 1) != 0 ? -((magnitude - 1) / 2) : magnitude / 2;
        value = std::ldexp(static_cast<double>(v), -static_cast<int>(in_.encodedFraction));
        return true;
    }

private:
    HpglInterpreter& in_;
    const unsigned char* s_;
    size_t n_;
    size_t i_ = 0;
};

// Appends v to a built statement as "%.10g" would write it, whatever the locale.
void appendCoordinate(HpglStatement& st, double v) {
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 10);
    st.append(std::string_view(buf, static_cast<size_t>(r.ptr - buf)));
}

int encodedPenSelect(HpglInterpreter& in, EncodedScan& scan, StatementBatch& batch) {
    if (!isNumberChar(scan.next())) return 0;
    scan.step();
    double v = 0.0;
    if (!scan.decode(v)) return 0;
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::trunc(v), std::chars_format::fixed, 0);
    HpglStatement sp{"SP"};
    sp.append(std::string_view(buf, static_cast<size_t>(r.ptr - buf)));
    return handleSP(in, sp, batch);
}

int encodedPenUp(HpglInterpreter& in, EncodedScan& scan, StatementBatch& batch) {
    if (!isNumberChar(scan.next())) return 0;
    scan.step();
    if (scan.cur() == '=') {
        scan.step();
        in.absolute = 1;
    }
    double x = 0.0;
    double y = 0.0;
    if (!scan.decode(x)) return 0;
    if (!isNumberChar(scan.next())) return 0;
    scan.step();
    if (scan.cur() == '=') scan.step();
    if (!scan.decode(y)) return 0;
    HpglStatement pu{"PU"};
    appendCoordinate(pu, x);
    appendCoordinate(pu, y);
    return handlePU(in, pu, batch);
}

int encodedFraction(HpglInterpreter& in, EncodedScan& scan) {
    if (!isNumberChar(scan.next())) return 0;
    scan.step();
    in.encodedFraction = static_cast<double>(scan.cur()) - (in.encodedBase == 32 ? 95.0 : 191.0);
    return 1;
}

// Pen-down pairs: relative pairs run on in one PD statement; an absolute pair ("=" before it)
// stands alone in its own. A pair begins only on a number character other than "=", the first
// one too, so "=" followed by a flag or by another "=" makes a PD without pairs and leaves that
// character to the next step. The y of a pair follows its x unchecked.
int encodedPenDown(HpglInterpreter& in, EncodedScan& scan, StatementBatch& batch) {
    if (!isNumberChar(scan.cur())) return 1;
    HpglStatement pd{"PD"};
    // Whether the next pair begins on the current character (the first relative pair) or on the
    // one after it.
    bool beginsHere = true;
    if (scan.cur() == '=') {
        if (scan.next() == 0) return 0;
        in.absolute = 1;
        beginsHere = false;
    }
    for (;;) {
        const unsigned char c = beginsHere ? scan.cur() : scan.next();
        if (!isNumberChar(c) || c == '=') break;
        if (!beginsHere) scan.step();
        beginsHere = false;
        double x = 0.0;
        double y = 0.0;
        if (!scan.decode(x)) return 0;
        appendCoordinate(pd, x);
        scan.step();
        if (scan.cur() == '=') scan.step();
        if (!scan.decode(y)) return 0;
        appendCoordinate(pd, y);
        if (in.absolute) break;
    }
    return handlePD(in, pd, batch);
}

}  // namespace

int handlePE(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    in.encodedBase = 64;
    in.encodedLimit = 128;
    in.encodedFraction = 0.0;
    if (st.parameterCount() == 0) {
        in.previous = in.current;
        return 1;
    }
    // PE changes the absolute flag only while it runs.
    struct RestoreAbsolute {
        HpglInterpreter& in;
        int32_t saved;
        ~RestoreAbsolute() { in.absolute = saved; }
    } restore{in, in.absolute};
    int result = 1;
    for (int p = 1; p < st.size(); ++p) {
        EncodedScan scan(in, st[p]);
        while (!scan.atEnd()) {
            in.absolute = 0;
            switch (scan.cur()) {
                case '7':
                    in.encodedBase = 32;
                    in.encodedLimit = 32;
                    result = 1;
                    break;
                case ':':
                    result = encodedPenSelect(in, scan, batch);
                    break;
                case '<':
                    result = encodedPenUp(in, scan, batch);
                    break;
                case '>':
                    result = encodedFraction(in, scan);
                    break;
                default:
                    result = encodedPenDown(in, scan, batch);
                    break;
            }
            scan.step();
        }
    }
    return result ? 1 : fail(batch, kHpglCodePE);
}
