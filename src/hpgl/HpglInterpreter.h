// The HP-GL interpreter: reads a plot file as statements, runs each command's handler on the
// plotter state held here, and hands the figures back batch by batch (one finished drawing
// command per batch outside polygon mode).
#pragma once

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "geom/QsPoint.h"
#include "hpgl/HpglStatement.h"
#include "hpgl/LabelState.h"
#include "hpgl/PlotInput.h"
#include "hpgl/PlotPage.h"
#include "hpgl/StatementBatch.h"

// A pen position in output units, kept as doubles so that long runs of relative moves do not
// accumulate rounding; it is rounded only where it becomes a vertex.
struct PenPosition {
    double x = 0.0;
    double y = 0.0;

    void reset() { x = y = 0.0; }
};

class HpglInterpreter {
public:
    // No limit for countStatements.
    static constexpr long kCountAll = LONG_MAX;

    // Creates the state for the plot file fileName (not opened yet) and a fresh PlotPage.
    explicit HpglInterpreter(std::string fileName);
    ~HpglInterpreter();
    HpglInterpreter(const HpglInterpreter&) = delete;
    HpglInterpreter& operator=(const HpglInterpreter&) = delete;

    // 1 when the file was opened for reading, 0 when it does not exist or cannot be read (error,
    // when given, receives the system's error number then).
    int open(int* error = nullptr);

    // Reads the next statement into st: 0 when there is no input stream, otherwise 1 (also at
    // end of input, where st may be empty).
    int readStatement(HpglStatement& st);

    // The number of statements of the file that begin with a mnemonic (escape sequences
    // included), read from the current position with the current label terminator; the stream
    // is left at the start of the file. With a limit, reading stops as soon as that many have
    // been found and the result is at most limit: countStatements(1) tells whether the file holds
    // any statement without reading it all.
    long countStatements(long limit = kCountAll);

    // Reads and runs statements up to and including the next batch-ending drawing command (or
    // to the end of input) and hands back the pen, the figures and the status codes in batch.
    // 1 when every handler called succeeded, otherwise 0.
    int dispatchBatch(StatementBatch& batch);

    // The plotter state. Handlers read and change it directly.
    std::string fileName;
    std::unique_ptr<PlotInput> input;
    std::unique_ptr<LabelState> labelState;
    std::string pendingMnemonic;
    int16_t pen = 0;
    PenPosition current;
    PenPosition previous;
    PenPosition savedPosition;
    int32_t penDown = 0;
    int32_t absolute = 1;
    StatementBatch polygonBuffer;
    int32_t polygonMode = 0;
    int32_t polygonAux = 0;
    int32_t fillHatched = 0;
    double hatchAngle = 0.0;
    int32_t lineEnd = 3;  // 0 butt, 1 square, 2 triangular, 3 round
    int32_t dashed = 0;
    int32_t relativeWidths = 0;
    int32_t lineWidth = 0;
    int16_t widthPen = 0;
    int32_t symbolMode = 0;
    unsigned char symbolChar = 0;
    int16_t encodedBase = 64;
    int16_t encodedLimit = 128;
    double encodedFraction = 0.0;

    // Working storage reused from statement to statement (not plotter state).
    std::vector<QsPoint>& strokeScratch() { return strokePoints_; }

private:
    std::string text_;      // the parameter being collected by readStatement
    std::string mnemonic_;  // the mnemonic being collected by readStatement
    HpglStatement statement_;
    std::vector<QsPoint> strokePoints_;
};
