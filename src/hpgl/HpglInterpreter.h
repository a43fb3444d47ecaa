// The HP-GL interpreter: reads a plot file as statements, runs each command's handler on the
// plotter state held here, and hands the figures back batch by batch (one finished drawing
// command per batch outside polygon mode), or all of them through a FigureSink.
#pragma once

#include <climits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "geom/QsPoint.h"
#include "hpgl/FigureSink.h"
#include "hpgl/HpglStatement.h"
#include "hpgl/LabelState.h"
#include "hpgl/PlotInput.h"
#include "hpgl/PlotPage.h"
#include "hpgl/PlotTransform.h"
#include "hpgl/PlotterState.h"
#include "hpgl/StatementBatch.h"

class HpglInterpreter {
public:
    // No limit for countStatements.
    static constexpr long kCountAll = LONG_MAX;

    // Creates the state for the plot file fileName (not opened yet) on a fresh page. Every
    // coordinate and length of the file is multiplied by unitFactor, the output units per
    // plotter unit. With userScaling (an extension), SC and RO are commands too and the
    // coordinates go through the scaling they set (PlotTransform).
    HpglInterpreter(std::string fileName, double unitFactor, bool userScaling = false);
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

    // Dispatches batch after batch and hands each over to the sink (deliverBatch) until one ends
    // the input; then sink.endOfInput with the statements read.
    void run(FigureSink& sink);

    // Back to the start of the file with a fresh plotter state at another unit factor (user
    // scaling stays as it was chosen), so that the plot can be read again: a pipe is read again
    // from what was kept of it. Nothing happens without an open input.
    void restart(double unitFactor);

    // The statements that dispatchBatch has read so far.
    const StatementCounts& statementCounts() const { return counts_; }

    // The plotter state, one record per concern. Handlers reach the records they work on through
    // these accessors; nothing is reset between batches.
    double unitFactor() const { return transform_.unitFactor(); }
    // How coordinates of the plot become output units: plain unless user scaling is on and SC
    // or RO are in effect.
    const PlotTransform& transform() const { return transform_; }
    ScalingState& scaling() { return scaling_; }
    const ScalingState& scaling() const { return scaling_; }
    // Makes the transform again from the scaling and the page, after either changed; nothing
    // changes while user scaling is off. False when SC gives no usable map on this page: the
    // coordinates are then taken as plotter units (turned by RO) until it does again.
    bool updateTransform();
    // Where a reset puts a pen position: (0, 0), the origin of the plotter's coordinates (which
    // RO moves on the page).
    void resetPosition(PenPosition& p) const;
    // The size of the plot area in the plotter's coordinates: the plot size, its sides swapped
    // while RO turns the system a quarter turn.
    QsPoint frameSize() const;
    PlotPage& page() { return page_; }
    const PlotPage& page() const { return page_; }
    PenState& pen() { return pen_; }
    const PenState& pen() const { return pen_; }
    LineAttributes& lines() { return lines_; }
    const LineAttributes& lines() const { return lines_; }
    PolygonState& polygon() { return polygon_; }
    const PolygonState& polygon() const { return polygon_; }
    EncodedFormat& encoded() { return encoded_; }
    const EncodedFormat& encoded() const { return encoded_; }
    LabelState& labels() { return labels_; }
    const LabelState& labels() const { return labels_; }
    SymbolMode& symbol() { return symbol_; }
    const SymbolMode& symbol() const { return symbol_; }

    // The page's relative size of the fraction f at this interpreter's unit factor.
    bool relativeSize(double f, int32_t& out) const {
        return page_.relativeSize(unitFactor(), f, out);
    }

    // Working storage reused from statement to statement (not plotter state).
    std::vector<double>& valueScratch() { return values_; }

private:
    // The reader's state: the file, its stream, and the mnemonic that ended the last statement
    // and begins the next.
    std::string fileName_;
    std::unique_ptr<PlotInput> input_;
    // The mnemonic that ended the last statement and begins the next: pendingSize_ bytes, in
    // pendingHead_ when there are two at most (every mnemonic but an escape sequence), else in
    // pendingLong_.
    char pendingHead_[2] = {0, 0};
    std::size_t pendingSize_ = 0;
    std::string pendingLong_;
    std::string_view pendingMnemonic() const {
        return pendingSize_ <= 2 ? std::string_view(pendingHead_, pendingSize_)
                                 : std::string_view(pendingLong_);
    }

    ScalingState scaling_;
    PlotTransform transform_;
    PlotPage page_;
    PenState pen_;
    LineAttributes lines_;
    PolygonState polygon_;
    EncodedFormat encoded_;
    LabelState labels_;
    SymbolMode symbol_;

    StatementCounts counts_;
    std::string mnemonic_;  // the mnemonic being collected by readStatement
    HpglStatement statement_;
    std::vector<double> values_;
};

// Hands one batch over: its figures in order, each with the batch's pen and the command that
// made it, then its codes in order as failed statements, except the codes that end the input
// (5 and 60). The figures are taken out of the batch. True when the batch ends the input.
bool deliverBatch(StatementBatch& batch, FigureSink& sink);
