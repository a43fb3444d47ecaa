// What one dispatch call of the HP-GL interpreter hands back: the pen for the figures, the
// figures in the order the handlers made them (output units), and the status codes added on the
// way, each figure and code with the command that made or added it.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <variant>
#include <vector>

#include "geom/QsPolygon.h"
#include "geom/QsPolyline.h"
#include "geom/QsText.h"

// Status codes that are not a command's own failure code.
inline constexpr int32_t kHpglCodeNoInput = 5;      // the interpreter has no input stream
inline constexpr int32_t kHpglCodeEndOfInput = 60;  // the plot file has been read to its end
inline constexpr int32_t kHpglCodePolygonFinish = 51;
inline constexpr int32_t kHpglCodeLineFinish = 52;
inline constexpr int32_t kHpglCodePolygonCombine = 53;
inline constexpr int32_t kHpglCodeVertexAppend = 54;
inline constexpr int32_t kHpglCodeArcAppend = 55;

// The three kinds of figure the handlers make: strokes, arcs and circles are polylines;
// rectangles, wedges and polygon-mode shapes are polygons; labels are texts.
using HpglShape =
    std::variant<std::unique_ptr<QsPolyline>, std::unique_ptr<QsPolygon>, std::unique_ptr<QsText>>;

struct BatchFigure {
    HpglShape shape;
    // The mnemonic of the command whose handler made the figure (null for one added while no
    // command ran), so that a reader can tell a filled shape (FP, RA, RR, WG) from an edged one.
    const char* madeBy = nullptr;
};

struct BatchCode {
    int32_t code = 0;
    // The mnemonic of the command whose handler added the code; null for the dispatcher's own
    // codes (5 and 60).
    const char* addedBy = nullptr;
};

// Adds to into each code of from that it does not hold yet (the same code added by the same
// command). Codes pass from a batch to the polygon buffer (PM 1) and back (EP, FP): appended
// whole, a plot that repeats FP and PM 1 in polygon mode would double them at every round.
void mergeCodes(std::vector<BatchCode>& into, const std::vector<BatchCode>& from);

struct StatementBatch {
    int16_t pen = 0;
    std::vector<BatchFigure> figures;
    std::vector<BatchCode> codes;
    // The mnemonic of the command the dispatcher is running (null outside a handler).
    const char* running = nullptr;

    // Drops the figures and the codes. The pen number stays: only SP sets pen numbers.
    void clear() {
        figures.clear();
        codes.clear();
    }
    void addCode(int32_t code) { codes.push_back({code, running}); }
    bool hasCode(int32_t code) const;
    // Appends the figure as made by the running command.
    void addFigure(HpglShape shape) { figures.push_back({std::move(shape), running}); }
};
