// How plot bytes split into statements, how statements are counted, and how the dispatcher cuts
// them into batches.
#include <gtest/gtest.h>

#include "HpglTestUtil.h"
#include "hpgl/HpglHandlers.h"

namespace {

const std::string kEsc(1, '\x1b');
const std::string kEtx(1, '\x03');
using Elements = std::vector<std::string>;

// Every statement up to the end of input, the empty first read of a file left out.
std::vector<Elements> statements(Plot& plot) {
    std::vector<Elements> out;
    HpglStatement st;
    for (int i = 0; i < 1000000 && plot.in->readStatement(st) == 1; ++i) {
        if (st.empty() && i == 0) continue;
        if (st.empty()) break;
        out.emplace_back();
        for (int j = 0; j < st.size(); ++j)
            out.back().push_back(st[j]);
    }
    return out;
}

}  // namespace

TEST(HpglReader, SplitsStatements) {
    const struct {
        std::string text;
        std::vector<Elements> expected;
    } cases[] = {
        {"IN;SP1;PA100,200;PD300,400;",
         {{"IN"}, {"SP", "1"}, {"PA", "100", "200"}, {"PD", "300", "400"}}},
        // No separator needed between commands; parameters end where a mnemonic begins.
        {"PUPA10,20", {{"PU"}, {"PA", "10", "20"}}},
        {"PA10,20PD", {{"PA", "10", "20"}, {"PD"}}},
        // Signs separate and begin parameters.
        {"PR-10-20", {{"PR", "-10", "-20"}}},
        {"PA+5 -6\t\r\n7", {{"PA", "+5", "-6", "7"}}},
        // A lone capital is parameter text; one at the very end is dropped.
        {"PA1E5,2", {{"PA", "1E5", "2"}}},
        {"PA1,2A", {{"PA", "1", "2"}}},
        // Lower-case letters and bytes above 127 are parameter text.
        {"PA1;pa10,20", {{"PA", "1", "pa10", "20"}}},
        {"PA\xe9\xff,1", {{"PA", "\xe9\xff", "1"}}},
        // Parameters before the first mnemonic make a statement of their own.
        {"12,34PA1", {{"12", "34"}, {"PA", "1"}}},
        // Label text: separators and capitals included, up to and with the terminator; the bytes
        // after it are ordinary parameters.
        {"LBHello, World" + kEtx, {{"LB", "Hello, World" + kEtx}}},
        {"LBPA;1,2" + kEtx + "PU", {{"LB", "PA;1,2" + kEtx}, {"PU"}}},
        {"LBAB" + kEtx + " 12,34PU", {{"LB", "AB" + kEtx, "12", "34"}, {"PU"}}},
        {"LBcut off at the END", {{"LB", "cut off at the END"}}},
        // DT takes exactly the next byte.
        {"DT;PU", {{"DT", ";"}, {"PU"}}},
        {"DT#,1;", {{"DT", "#", "1"}}},
        // Encoded data up to ";", capitals included.
        {"PE<=abcDEF;PU", {{"PE", "<=abcDEF"}, {"PU"}}},
        {"PE:A?"
         "\xbf",
         {{"PE", ":A?\xbf"}}},
        // Escape sequences read as mnemonics of their own, ending at their first capital.
        {kEsc + "%-1BIN;", {{kEsc + "%-1B"}, {"IN"}}},
        {kEsc + "%0BIN", {{kEsc + "%0B"}, {"IN"}}},
        {kEsc + "E" + kEsc + "%#A", {{kEsc + "E"}, {kEsc + "%#A"}}},
        {"PA1" + kEsc + "%12", {{"PA", "1"}}},
        {"", {}},
        {";;, \n", {}},
    };
    for (const auto& c : cases) {
        Plot plot(c.text);
        EXPECT_EQ(statements(plot), c.expected) << c.text;
    }
}

TEST(HpglReader, LabelEndsAtTheCurrentTerminator) {
    Plot plot("LBA;B#PU");
    plot.in->labelState->terminator = '#';
    EXPECT_EQ(statements(plot), (std::vector<Elements>{{"LB", "A;B#"}, {"PU"}}));

    // DT changes the terminator for the labels that follow it in the same file.
    Plot dt("DT#;LBA" + kEtx + "B#PU");
    const auto batches = dt.batches();
    EXPECT_EQ(dt.in->labelState->terminator, '#');
    EXPECT_EQ(batches.size(), 3u);  // ...LB | PU | end of input
}

TEST(HpglReader, NoInputStream) {
    HpglInterpreter in("/nonexistent/plot.hpgl");
    EXPECT_EQ(in.open(), 0);
    HpglStatement st;
    EXPECT_EQ(in.readStatement(st), 0);
    EXPECT_EQ(in.countStatements(), 0);
    StatementBatch b;
    EXPECT_EQ(in.dispatchBatch(b), 0);
    EXPECT_EQ(b.codes, std::vector<int32_t>{kHpglCodeNoInput});
}

TEST(HpglReader, CountsStatementsAndRewinds) {
    const struct {
        std::string text;
        long count;
    } cases[] = {
        {"", 0},
        {"12 34 56", 0},
        {"A", 0},
        {"IN;SP1;PA100,200;PD300,400;", 4},
        {"12,34PUPA10,20", 2},
        {"LBPAPD" + kEtx + "PU", 2},
        {"PEPAPD;PU", 2},
        {"DTPPU", 2},
        {kEsc + "%-1BIN" + kEsc + "E", 3},
    };
    for (const auto& c : cases) {
        Plot plot(c.text);
        EXPECT_EQ(plot.in->countStatements(), c.count) << c.text;
        EXPECT_EQ(plot.in->countStatements(1), std::min(c.count, 1L)) << c.text;
        // The stream is back at its start: reading gives every statement again.
        EXPECT_EQ(static_cast<long>(statements(plot).size()),
                  c.count + (c.text.rfind("12", 0) == 0 ? 1 : 0))
            << c.text;
    }
}

TEST(HpglDispatch, BatchesEndAfterDrawingCommands) {
    const std::vector<std::string> ending = {"AA", "AR", "AT", "CI", "PA", "PD", "PE", "PR", "PU",
                                             "RT", "EA", "ER", "EP", "FP", "RA", "RR", "WG", "LB"};
    const std::vector<std::string> continuing = {
        "EW", "FT", "LA", "LT", "PW", "SM", "SP", "WU", "AD", "CP", "DI", "DR", "DT", "ES",
        "LO", "SA", "SD", "SI", "SR", "SS", "DF", "IN", "IP", "IR", "PS", "DV", "TD", "ZZ"};
    for (const std::string& m : ending) {
        Plot plot(m + ";SP3;");
        StatementBatch b;
        plot.in->dispatchBatch(b);
        EXPECT_FALSE(b.hasCode(kHpglCodeEndOfInput)) << m;
        EXPECT_EQ(b.pen, 0) << m;
    }
    for (const std::string& m : continuing) {
        Plot plot(m + ";SP3;");
        StatementBatch b;
        plot.in->dispatchBatch(b);
        EXPECT_TRUE(b.hasCode(kHpglCodeEndOfInput)) << m;
        EXPECT_EQ(b.pen, 3) << m;
    }
}

TEST(HpglDispatch, PenFiguresAndCodesOfBatches) {
    Plot plot("IN;SP2;PU0,0;PD10,0,10,10;SP-1;XX;PU;SP1;PA20,20;PD");
    StatementBatch b;
    // IN SP2 PU0,0
    EXPECT_EQ(plot.in->dispatchBatch(b), 1);
    EXPECT_EQ(b.pen, 2);
    EXPECT_TRUE(b.figures.empty());
    EXPECT_TRUE(b.codes.empty());
    // PD with two points: one polyline with the pen of the batch.
    EXPECT_EQ(plot.in->dispatchBatch(b), 1);
    EXPECT_EQ(b.pen, 2);
    ASSERT_EQ(b.figures.size(), 1u);
    EXPECT_EQ(describeLine(*b.figures[0]), "0,0 400,0 400,400");
    // A failing SP adds its code and the batch goes on; XX is ignored.
    EXPECT_EQ(plot.in->dispatchBatch(b), 0);
    EXPECT_EQ(b.codes, std::vector<int32_t>{kHpglCodeSP});
    EXPECT_TRUE(b.figures.empty());
    // SP1 PA20,20 (pen up: no figure).
    EXPECT_EQ(plot.in->dispatchBatch(b), 1);
    EXPECT_EQ(b.pen, 1);
    EXPECT_TRUE(b.figures.empty());
    // The file ends right after PD: [PD] is the last statement, then the end of input.
    EXPECT_EQ(plot.in->dispatchBatch(b), 1);
    EXPECT_TRUE(b.codes.empty());
    EXPECT_EQ(plot.in->dispatchBatch(b), 0);
    EXPECT_EQ(b.codes, std::vector<int32_t>{kHpglCodeEndOfInput});
    EXPECT_EQ(b.pen, 1);
}

TEST(HpglDispatch, PolygonModeKeepsTheBatchOpen) {
    Plot plot("PM0;PD1,1;PA2,2,3,3;");
    const auto batches = plot.batches();
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches[0].figures.size(), 2u);
    EXPECT_EQ(plot.in->polygonMode, 1);
}

TEST(HpglDispatch, FailuresOfDfAndInOnlyAddTheirCodes) {
    // At this unit factor the default character height leaves the 32-bit range.
    Plot plot("DF;IN;PU;", 1e300);
    StatementBatch b;
    EXPECT_EQ(plot.in->dispatchBatch(b), 1);
    EXPECT_EQ(b.codes, (std::vector<int32_t>{kHpglCodeDF, kHpglCodeIN}));
}
