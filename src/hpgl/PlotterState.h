// The parts of the plotter state that the command handlers share, one small record each: the pen
// and where it is, the attributes that figures get as they are made, polygon mode with its buffer,
// the number format of encoded polylines and symbol mode. The label state has its own header.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "geom/QsPolygon.h"
#include "hpgl/StatementBatch.h"

// A pen position in output units, kept as doubles so that long runs of relative moves do not
// accumulate rounding; it is rounded only where it becomes a vertex.
struct PenPosition {
    double x = 0.0;
    double y = 0.0;

    void reset() { x = y = 0.0; }
};

// The selected pen, its positions and how coordinates move it.
struct PenState {
    int16_t number = 0;    // the pen selected by SP; SP refuses negative numbers
    PenPosition current;   // where the pen is
    PenPosition previous;  // the carriage-return point of labels
    PenPosition saved;     // kept by SM and DF
    bool down = false;     // PD puts it down, PU and PM 1 lift it
    bool absolute = true;  // PA: coordinates are absolute; PR: relative
};

// Line-end shapes of LA, in the order of their numbers 1 to 4.
enum class LineEnd : uint8_t { kButt, kSquare, kTriangular, kRound };

// The width, line type, line ends and fill that figures get as they are made (PW, WU, LT, LA, FT).
struct LineAttributes {
    int32_t width = 0;            // output units
    int16_t widthPen = 0;         // the pen the width is for; 0 for every pen
    bool relativeWidths = false;  // WU 1: PW widths are fractions of the P1-P2 distance
    bool dashed = false;          // any line type of LT; a figure is either solid or dashed
    LineEnd lineEnd = LineEnd::kRound;
    bool hatched = false;     // FT 3
    double hatchAngle = 0.0;  // radians

    // Whether the width belongs to figures drawn with the pen.
    bool widthAppliesTo(int16_t pen) const { return widthPen == 0 || widthPen == pen; }
};

// PM 0 opens a polygon definition; PM 1 closes a subpolygon and begins the next; PM 2 ends it.
enum class PolygonMode : uint8_t { kOff, kOpen, kNextSubpolygon };

// The polygons gathered in polygon mode, with the pen that EP and FP hand them out with and the
// codes gathered with them, each tagged with the command that added it.
struct PolygonBuffer {
    int16_t pen = 0;
    std::vector<std::unique_ptr<QsPolygon>> polygons;
    std::vector<BatchCode> codes;

    // Drops the polygons and the codes; the pen stays, as only SP sets pen numbers.
    void clear() {
        polygons.clear();
        codes.clear();
    }
    void addCode(int32_t code, const char* addedBy) { codes.push_back({code, addedBy}); }
};

struct PolygonState {
    PolygonMode mode = PolygonMode::kOff;
    // Set by PM 1: the next stroke begins at its own first point, not at the pen position.
    bool skipFirstVertex = false;
    PolygonBuffer buffer;

    bool on() const { return mode != PolygonMode::kOff; }
};

// The number format of PE: base 64 with the terminating digits from 128 up, or, after the flag
// "7", base 32 with the terminating digits from 32 up; and the fraction bits that scale every
// value. The terminator offset follows from the base and is never set on its own.
class EncodedFormat {
public:
    // Base 64, no fraction bits: how every PE statement begins.
    void reset() {
        base32_ = false;
        fractionBits_ = 0.0;
    }
    void useBase32() { base32_ = true; }
    bool isBase32() const { return base32_; }

    int64_t base() const { return base32_ ? 32 : 64; }
    // A digit at or above this value is reduced by it and ends its number.
    int64_t terminatorOffset() const { return base32_ ? 32 : 128; }

    double fractionBits() const { return fractionBits_; }
    void setFractionBits(double bits) { fractionBits_ = bits; }

private:
    bool base32_ = false;
    double fractionBits_ = 0.0;
};

// SM: while a symbol character is set, SM without one brings the pen back to where SM set it.
struct SymbolMode {
    bool active = false;
    unsigned char character = 0;
};
