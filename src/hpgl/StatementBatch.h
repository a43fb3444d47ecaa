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
    // In step with figures: the mnemonic of the command whose handler made each figure (null
    // for one added while no command ran), so that a reader can tell a filled shape (FP, RA,
    // RR, WG) from an edged one of the same kind.
    std::vector<const char*> madeBy;
    // The mnemonic of the command the dispatcher is running (null outside a handler).
    const char* running = nullptr;

    // Drops the figures and the codes. The pen number stays: only SP sets pen numbers.
    void clear() {
        figures.clear();
        madeBy.clear();
        codes.clear();
    }
    void addCode(int32_t code) { codes.push_back(code); }
    bool hasCode(int32_t code) const;
    // Appends the figure as made by the running command; on a failure to grow, nothing changes.
    void addFigure(std::unique_ptr<QsFigure> figure);
    // Hands the figures over and leaves none.
    std::vector<std::unique_ptr<QsFigure>> takeFigures();
};
