// How plot bytes split into statements, how statements are counted, and how the dispatcher cuts
// them into batches.
#include <gtest/gtest.h>

#include <algorithm>

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
            out.back().emplace_back(st[j]);
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
        {"LBPA;1,2" + kEtx + "PU", {{"LB", "PA;1,2" + kEtx}, {"PU"}}},
        {"LBAB" + kEtx + " 12,34PU", {{"LB", "AB" + kEtx, "12", "34"}, {"PU"}}},
        {"LBcut off at the END", {{"LB", "cut off at the END"}}},
        // DT takes exactly the next byte.
        {"DT;PU", {{"DT", ";"}, {"PU"}}},
        // Encoded data up to ";", capitals included.
        {"PE<=abcDEF;PU", {{"PE", "<=abcDEF"}, {"PU"}}},
        {"PE:A?\xbf", {{"PE", ":A?\xbf"}}},
        // Escape sequences read as mnemonics of their own, ending at their first capital.
        {kEsc + "%-1BIN;", {{kEsc + "%-1B"}, {"IN"}}},
        {kEsc + "E" + kEsc + "%#A", {{kEsc + "E"}, {kEsc + "%#A"}}},
        {"PA1" + kEsc + "%12", {{"PA", "1"}}},
        {";;, \n", {}},
    };
    for (const auto& c : cases) {
        Plot plot(c.text);
        EXPECT_EQ(statements(plot), c.expected) << c.text;
    }
}

// Statements much longer than the reader's first buffer, read between short ones: every
// element keeps its bytes when the buffer grows, and a short statement after a long one holds
// nothing of it.
TEST(HpglReader, LongStatementsStayWhole) {
    std::string label;
    for (int i = 0; i < 3000; ++i)
        label += static_cast<char>('a' + i % 26);
    Elements many{"PD"};
    std::string text = "SP1;PD";
    for (int i = 0; i < 700; ++i) {
        many.push_back(std::to_string(100000 + i * 7));
        text += (i == 0 ? "" : ",") + many.back();
    }
    text += ";PU;LB" + label + kEtx + "PA-1;";
    Plot plot(text);
    const std::vector<Elements> expected = {
        {"SP", "1"}, many, {"PU"}, {"LB", label + kEtx}, {"PA", "-1"}};
    EXPECT_EQ(statements(plot), expected);
}

TEST(HpglReader, NoInputStream) {
    HpglInterpreter in("/nonexistent/plot.hpgl", 40.0);
    EXPECT_EQ(in.open(), 0);
    HpglStatement st;
    EXPECT_EQ(in.readStatement(st), 0);
    EXPECT_EQ(in.countStatements(), 0);
    StatementBatch b;
    EXPECT_EQ(in.dispatchBatch(b), 0);
    EXPECT_EQ(codesOf(b), std::vector<int32_t>{kHpglCodeNoInput});
}

TEST(HpglReader, CountsStatementsAndRewinds) {
    const struct {
        std::string text;
        long count;
    } cases[] = {
        {"", 0},
        {"IN;SP1;PA100,200;PD300,400;A", 4},
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
    for (const std::string m :
         {"AA", "AR", "AT", "CI", "PA", "PD", "PE", "PR", "PU", "RT", "EA", "ER",
          "EW", "EP", "FP", "RA", "RR", "WG", "FT", "LA", "LT", "PW", "SM", "SP",
          "WU", "AD", "CP", "DI", "DR", "DT", "ES", "LB", "LO", "SA", "SD", "SI",
          "SR", "SS", "DF", "IN", "IP", "IR", "PS", "DV", "TD", "ZZ"}) {
        const bool ends = std::find(ending.begin(), ending.end(), m) != ending.end();
        Plot plot(m + ";SP3;");
        StatementBatch b;
        plot.in->dispatchBatch(b);
        EXPECT_EQ(b.hasCode(kHpglCodeEndOfInput), !ends) << m;
        EXPECT_EQ(b.pen, ends ? 0 : 3) << m;
    }
}

// Each batch of a plot as "<result> p<pen>", then its polylines in brackets and its codes.
TEST(HpglDispatch, BatchesOfPlots) {
    const struct {
        std::string text;
        double k;
        std::vector<std::string> batches;
    } cases[] = {
        // A failing SP adds its code and the batch goes on; XX is ignored. The file ends right
        // after PD: [PD] is the last statement, then the end of input.
        {"IN;SP2;PU0,0;PD10,0,10,10;SP-1;XX;PU;SP1;PA20,20;PD",
         40,
         {"1 p2", "1 p2 L(0,0 400,0 400,400)", "0 p2 #14", "1 p1", "1 p1", "0 p1 #60"}},
        // Polygon mode keeps the batch open through drawing commands.
        {"PM0;PD1,1;PA2,2,3,3;", 40, {"0 p0 L(0,0 40,40) L(40,40 80,80 120,120) #60"}},
        // DF and IN fail (the default character height leaves the 32-bit range) but only add
        // their codes.
        {"DF;IN;PU;", 1e300, {"1 p0 #6 #7", "0 p0 #60"}},
    };
    for (const auto& c : cases) {
        Plot plot(c.text, c.k);
        std::vector<std::string> batches;
        for (int i = 0;
             i < 100 && (batches.empty() || batches.back().find("#60") == std::string::npos); ++i) {
            StatementBatch b;
            std::string text = std::to_string(plot.in->dispatchBatch(b));
            text += " p" + std::to_string(b.pen);
            for (const BatchFigure& f : b.figures)
                text += " " + describeFigure(figureOf(f));
            for (int32_t code : codesOf(b))
                text += " #" + std::to_string(code);
            batches.push_back(text);
        }
        EXPECT_EQ(batches, c.batches) << c.text;
    }
}
