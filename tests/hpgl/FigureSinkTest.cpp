// What a plot hands over through the figure sink: each figure with its batch's pen and the
// command that made it, every code a handler added with that command, in batch order, and the
// statements read at the end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HpglTestUtil.h"
#include "hpgl/FigureSink.h"
#include "hpgl/HpglHandlers.h"

namespace {

// Writes every call down as one word: "L", "P" or "T" with the pen and the maker ("P" filled:
// "F"), "!" with the mnemonic and the code, "end" with the statements read and ignored.
class Recorder : public FigureSink {
public:
    void polyline(std::unique_ptr<QsPolyline> line, const FigureSource& s) override {
        add((line ? "L" : "L?") + source(s));
    }
    void polygon(std::unique_ptr<QsPolygon> polygon, const FigureSource& s) override {
        add((polygon ? (s.fills() ? "F" : "P") : "P?") + source(s));
    }
    void text(std::unique_ptr<QsText> text, const FigureSource& s) override {
        add((text ? "T" : "T?") + source(s));
    }
    void statementFailed(std::string_view mnemonic, int32_t code) override {
        add("!" + std::string(mnemonic) + std::to_string(code));
    }
    void endOfInput(const StatementCounts& counts) override {
        add("end" + std::to_string(counts.total()) + "/" + std::to_string(counts.ignored));
    }

    std::string calls;

private:
    static std::string source(const FigureSource& s) {
        return std::to_string(s.pen) + (s.command != nullptr ? s.command : "-");
    }
    void add(const std::string& word) { calls += (calls.empty() ? "" : " ") + word; }
};

std::string run(const std::string& text) {
    Plot plot(text);
    Recorder recorder;
    plot.in->run(recorder);
    return recorder.calls;
}

}  // namespace

TEST(FigureSink, FiguresCodesAndTheEnd) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "end0/0"},
        {"IN;SP2;PD1,1;LBab\x03;CI1;", "L2PD T2LB L2CI end5/0"},
        // The figures of a batch come in order, then its codes; a failing command adds its own
        // code after the codes that say why.
        {"PW0.0004;LA1,1;PD0.25,0,10,0;CI;", "!PD52 !PD23 !CI20 end4/0"},
        {"PD1,1,x;SP-1;", "!PD23 !SP14 end2/0"},
        // The pen is the batch's: an SP within a batch changes it for the figures before it.
        {"SP1;EW1,0,90;SP3;PU;", "P3EW end4/0"},
        // Polygon mode: the strokes stay in the buffer; EP and FP hand out its polygons with its
        // pen, each time with the codes gathered with them, which keep the command that added
        // them. Rectangles and wedges that fill say so.
        {"SP4;PM0;PD1,x;PD1,0,1,1;PM2;SP5;EP;FP;", "P5EP !PD23 !EP31 F5FP !PD23 !FP32 end8/0"},
        {"RA1,1;EA1,1;WG1,0,90;RR1,1;ER1,1;", "F0RA P0EA F0WG F0RR P0ER end5/0"},
        // 53 and 51 go to the buffer with the command whose handler added them.
        {"PM0;ER5,5;PM2;EP;", "P0EP !PM33 !PM53 !PM51 !EP31 end4/0"},
        // Ignored statements: an unknown command, an escape sequence, parameters before the first
        // mnemonic, and DV, which only DF runs.
        {"12,34ZZ1;\x1b%-1BDV1;PU;", "end5/4"},
    };
    for (const auto& [text, calls] : cases)
        EXPECT_EQ(run(text), calls) << text;
}

TEST(FigureSink, StatementsReadPerCommand) {
    Plot plot("IN;PD1,1;PD;PU;DF;XX;LBa\x03SI1,1;");
    Recorder recorder;
    plot.in->run(recorder);
    const StatementCounts& counts = plot.in->statementCounts();
    const std::pair<const char*, int64_t> rows[] = {{"IN", 1},
                                                    {"PD", 2},
                                                    {"PU", 1},
                                                    {"DF", 1},
                                                    {"LB", 1},
                                                    {"SI", 1},
                                                    // Run by IN and DF, not read.
                                                    {"PA", 0},
                                                    {"FT", 0},
                                                    {"XX", 0},
                                                    {"P", 0},
                                                    {"", 0}};
    for (const auto& [mnemonic, read] : rows)
        EXPECT_EQ(counts.of(mnemonic), read) << mnemonic;
    EXPECT_EQ(counts.ignored, 1);
    EXPECT_EQ(counts.total(), 8);
}

TEST(FigureSink, WithoutInputOnlyTheEnd) {
    HpglInterpreter in("/nonexistent/plot.hpgl", 40.0);
    EXPECT_EQ(in.open(), 0);
    Recorder recorder;
    in.run(recorder);
    EXPECT_EQ(recorder.calls, "end0/0");
}
