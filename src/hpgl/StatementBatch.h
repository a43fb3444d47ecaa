// What one dispatch call of the HP-GL interpreter hands back: the pen for the figures, the
// figures in the order the handlers made them (output units), and the status codes added on the
// way. The polygon buffer of the interpreter is a batch as well.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "geom/QsFigure.h"

// Status codes that are not a command's own failure code.
inline constexpr int32_t kHpglCodeNoInput = 5;      // the interpreter has no input stream
inline constexpr int32_t kHpglCodeEndOfInput = 60;  // the plot file has been read to its end
inline constexpr int32_t kHpglCodePolygonFinish = 51;
inline constexpr int32_t kHpglCodeLineFinish = 52;
inline constexpr int32_t kHpglCodePolygonCombine = 53;
inline constexpr int32_t kHpglCodeVertexAppend = 54;
inline constexpr int32_t kHpglCodeArcAppend = 55;

struct StatementBatch {
    int16_t pen = 0;
    std::vector<std::unique_ptr<QsFigure>> figures;
    std::vector<int32_t> codes;

    // Drops the figures and the codes. The pen number stays: only SP sets pen numbers.
    void clear() {
        figures.clear();
        codes.clear();
    }
    void addCode(int32_t code) { codes.push_back(code); }
    // Adds each of the codes that the batch does not hold yet. Codes pass from a batch to the
    // polygon buffer (PM 1) and back (EP, FP): appended whole, a plot that repeats EP and PM 1
    // in polygon mode would double them at every round.
    void mergeCodes(const std::vector<int32_t>& other);
    bool hasCode(int32_t code) const;
    void addFigure(std::unique_ptr<QsFigure> figure) { figures.push_back(std::move(figure)); }
};
