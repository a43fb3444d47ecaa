// The vector commands PA, PR, PD, PU and PE, the stroke routine they share and the finishing of
// a line figure (shared with the arcs and circles).

#include <algorithm>
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

namespace {

// The stroke routine over count values x, y, x, y, ... that valueAt(i, v) hands out one at a
// time (false when value i does not convert): the pen position, then one vertex per pair; a
// trailing x is read but not used. Statements hand over their parameter texts, encoded
// polylines their decoded numbers.
template <class ValueAt>
int strokeValues(HpglInterpreter& in, StatementBatch& batch, bool absolute, bool penIsDown,
                 int count, ValueAt&& valueAt) {
    const PlotTransform& transform = in.transform();
    PenState& pen = in.pen();
    QsDPoint p(pen.current.x, pen.current.y);
    QsPoint v;
    const bool skipFirst = in.polygon().skipFirstVertex;
    in.polygon().skipFirstVertex = false;
    // A pen-down stroke writes its vertices straight into the records of its polyline; a
    // pen-up one keeps none and only counts them against the same limit.
    std::vector<QsPolyRecord> records;
    size_t vertices = 0;
    try {
        if (penIsDown) {
            records.reserve(std::min(static_cast<size_t>(count / 2) + 1,
                                     static_cast<size_t>(QsRecordFigure::kMaxSlots)));
        }
        if (!skipFirst) {
            if (!p.tryRounded(v)) return 0;
            if (penIsDown) records.push_back(QsPolyRecord::vertex(v));
            ++vertices;
        }
        for (int i = 0; i < count; i += 2) {
            double x = 0.0;
            double y = 0.0;
            if (!valueAt(i, x)) return 0;
            if (i + 1 >= count) break;
            if (!valueAt(i + 1, y)) return 0;
            p = absolute ? transform.point(x, y) : p + transform.vector(x, y);
            // A vertex outside the 32-bit range fails the statement.
            if (!p.tryRounded(v)) return 0;
            if (vertices >= static_cast<size_t>(QsRecordFigure::kMaxSlots)) {
                return fail(batch, kHpglCodeVertexAppend);
            }
            if (penIsDown) records.push_back(QsPolyRecord::vertex(v));
            ++vertices;
        }
    } catch (const std::exception&) {
        return fail(batch, kHpglCodeVertexAppend);
    }
    // The polyline is only kept with the pen down; a pen-up statement just moves.
    std::unique_ptr<QsPolyline> line;
    if (penIsDown) {
        const int n = static_cast<int>(records.size());
        line = std::make_unique<QsPolyline>(std::move(records));
        if (line->usedCount() != n) return fail(batch, kHpglCodeVertexAppend);
    }
    pen.current.x = p.x;
    pen.current.y = p.y;
    pen.previous = pen.current;
    if (!line) return 1;
    if (!finishLineFigure(in, *line, false)) return fail(batch, kHpglCodeLineFinish);
    batch.addFigure(std::move(line));
    return 1;
}

}  // namespace

int strokeStatement(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch,
                    bool absolute, bool penIsDown) {
    return strokeValues(in, batch, absolute, penIsDown, st.parameterCount(),
                        [&st](int i, double& v) { return parseHpglReal(st[i + 1], v); });
}

int finishLineFigure(HpglInterpreter& in, QsPolyline& line, bool closedForm) {
    const LineAttributes& attributes = in.lines();
    if (attributes.widthAppliesTo(in.pen().number)) line.setWidth(-1, attributes.width);
    // Strokes in polygon mode get neither line type nor line ends.
    if (in.polygon().on()) return 1;
    line.setFirstAttribute(attributes.dashed ? 1 : 0);
    if (closedForm) return 1;
    switch (attributes.lineEnd) {
        case LineEnd::kButt: {
            // Butt ends: each end moves back by half the width.
            const int startOk = line.extendStart(-100);
            const int endOk = line.extendEnd(-100);
            if (!startOk || !endOk) return 0;
            line.setSecondAttribute(1);
            break;
        }
        case LineEnd::kSquare:
            line.setSecondAttribute(1);
            break;
        case LineEnd::kTriangular:
        case LineEnd::kRound:
            line.setSecondAttribute(0);
            break;
    }
    return 1;
}

int handlePA(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    PenState& pen = in.pen();
    pen.absolute = true;
    if (st.parameterCount() == 0) {
        pen.previous = pen.current;
        return 1;
    }
    return strokeStatement(in, st, batch, true, pen.down) ? 1 : fail(batch, kHpglCodePA);
}

int handlePR(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    PenState& pen = in.pen();
    pen.absolute = false;
    if (st.parameterCount() == 0) {
        pen.previous = pen.current;
        return 1;
    }
    return strokeStatement(in, st, batch, false, pen.down) ? 1 : fail(batch, kHpglCodePR);
}

namespace {

// PD and PU on count values handed out by valueAt (parameter texts or decoded numbers).
template <class ValueAt>
int penDown(HpglInterpreter& in, StatementBatch& batch, int count, ValueAt&& valueAt) {
    in.pen().down = true;
    if (count == 0) return 1;
    return strokeValues(in, batch, in.pen().absolute, true, count, valueAt)
               ? 1
               : fail(batch, kHpglCodePD);
}

template <class ValueAt>
int penUp(HpglInterpreter& in, StatementBatch& batch, int count, ValueAt&& valueAt) {
    in.pen().down = false;
    if (count == 0) return 1;
    return strokeValues(in, batch, in.pen().absolute, false, count, valueAt)
               ? 1
               : fail(batch, kHpglCodePU);
}

// The parameters of a statement as values.
auto parameterValues(const HpglStatement& st) {
    return [&st](int i, double& v) { return parseHpglReal(st[i + 1], v); };
}

// Numbers that a handler takes as they are.
auto numberValues(const std::vector<double>& values) {
    return [&values](int i, double& v) {
        v = values[static_cast<size_t>(i)];
        return true;
    };
}

}  // namespace

int handlePD(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    return penDown(in, batch, st.parameterCount(), parameterValues(st));
}

int handlePU(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    return penUp(in, batch, st.parameterCount(), parameterValues(st));
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
    EncodedScan(const EncodedFormat& format, std::string_view s)
        : format_(format), s_(reinterpret_cast<const unsigned char*>(s.data())), n_(s.find('\0')) {
        if (n_ == std::string_view::npos) n_ = s.size();
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
        const int64_t base = format_.base();
        const int64_t limit = format_.terminatorOffset();
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
        // Scaling by 2^0 changes nothing, and most plots send whole numbers.
        const int bits = static_cast<int>(format_.fractionBits());
        value = bits == 0 ? static_cast<double>(v) : std::ldexp(static_cast<double>(v), -bits);
        return true;
    }

private:
    const EncodedFormat& format_;
    const unsigned char* s_;
    size_t n_;
    size_t i_ = 0;
};

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
        in.pen().absolute = true;
    }
    double x = 0.0;
    double y = 0.0;
    if (!scan.decode(x)) return 0;
    if (!isNumberChar(scan.next())) return 0;
    scan.step();
    if (scan.cur() == '=') scan.step();
    if (!scan.decode(y)) return 0;
    // The pair goes to PU as the parameters "%.10g" would write.
    std::vector<double>& pair = in.valueScratch();
    pair.assign({hpglValueThroughText(x), hpglValueThroughText(y)});
    return penUp(in, batch, 2, numberValues(pair));
}

int encodedFraction(HpglInterpreter& in, EncodedScan& scan) {
    if (!isNumberChar(scan.next())) return 0;
    scan.step();
    EncodedFormat& format = in.encoded();
    format.setFractionBits(static_cast<double>(scan.cur()) - (format.isBase32() ? 95.0 : 191.0));
    return 1;
}

// Pen-down pairs: relative pairs run on in one PD statement; an absolute pair ("=" before it)
// stands alone in its own. A pair begins only on a number character other than "=", the first
// one too, so "=" followed by a flag or by another "=" makes a PD without pairs and leaves that
// character to the next step. The y of a pair follows its x unchecked.
int encodedPenDown(HpglInterpreter& in, EncodedScan& scan, StatementBatch& batch) {
    if (!isNumberChar(scan.cur())) return 1;
    // The pairs go to PD as the parameters "%.10g" would write.
    std::vector<double>& pd = in.valueScratch();
    pd.clear();
    // Whether the next pair begins on the current character (the first relative pair) or on the
    // one after it.
    bool beginsHere = true;
    if (scan.cur() == '=') {
        if (scan.next() == 0) return 0;
        in.pen().absolute = true;
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
        scan.step();
        if (scan.cur() == '=') scan.step();
        if (!scan.decode(y)) return 0;
        pd.push_back(hpglValueThroughText(x));
        pd.push_back(hpglValueThroughText(y));
        if (in.pen().absolute) break;
    }
    return penDown(in, batch, static_cast<int>(pd.size()), numberValues(pd));
}

}  // namespace

int handlePE(HpglInterpreter& in, const HpglStatement& st, StatementBatch& batch) {
    in.encoded().reset();
    PenState& pen = in.pen();
    if (st.parameterCount() == 0) {
        pen.previous = pen.current;
        return 1;
    }
    // PE changes the absolute flag only while it runs.
    struct RestoreAbsolute {
        PenState& pen;
        bool saved;
        ~RestoreAbsolute() { pen.absolute = saved; }
    } restore{pen, pen.absolute};
    int result = 1;
    for (int p = 1; p < st.size(); ++p) {
        EncodedScan scan(in.encoded(), st[p]);
        while (!scan.atEnd()) {
            pen.absolute = false;
            switch (scan.cur()) {
                case '7':
                    in.encoded().useBase32();
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
