#include "batch/BatchOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The parsed configuration in one line, or "error: ..." with the message.
std::string parsed(const std::vector<std::string>& args) {
    std::string error;
    const auto c = parseBatchArguments(args, error);
    if (!c) return "error: " + error;
    if (c->help) return "help";
    std::string text = std::string(c->target == BatchTarget::Sheets ? "sheets " : "symbols ") +
                       c->output + " j" + std::to_string(c->jobs) + (c->redo ? " redo" : "");
    if (!c->csv.empty()) text += " csv=" + c->csv;
    if (!c->logs.empty()) text += " logs=" + c->logs;
    for (const std::string& p : c->passOn)
        text += " [" + p + "]";
    text += " <-";
    for (const std::string& in : c->inputs)
        text += " " + in;
    return text;
}

}  // namespace

TEST(BatchOptions, CommandLines) {
    const struct {
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {{"-o", "out", "a.plt"}, "symbols out j0 <- a.plt"},
        {{"-o", "board.cir", "dir"}, "sheets board.cir j0 <- dir"},
        {{"-o", "Board.CIR/", "-"}, "sheets Board.CIR/ j0 <- -"},
        {{"-j", "4", "--redo", "-o", "o", "a", "b"}, "symbols o j4 redo <- a b"},
        {{"-j3", "-o", "o", "a"}, "symbols o j3 <- a"},
        {{"-o", "o", "--csv", "r.csv", "--logs", "L", "a"}, "symbols o j0 csv=r.csv logs=L <- a"},
        {{"-o", "o", "-r", "pens.txt", "-p:scale", "2", "-parameter:OFFSETX", "1", "a"},
         "symbols o j0 [-r] [pens.txt] [-p:scale] [2] [-parameter:OFFSETX] [1] <- a"},
        {{"-o", "first", "-o", "second", "a"}, "symbols second j0 <- a"},
        {{"-o", "o", "--", "-j", "--redo"}, "symbols o j0 <- -j --redo"},
        {{"--help"}, "help"},
        {{"-o", "o", "-h"}, "help"},
        {{"a.plt"}, "error: no output: give -o FOLDER or -o CIRCUIT.cir"},
        {{"-o", "o"},
         "error: no plots: name plot files, folders, or - for a list on standard input"},
        {{"-o"}, "error: the option -o needs a value"},
        {{"-o", "", "a"}, "error: the option -o needs a value that is not empty"},
        {{"-o", "o", "-j", "0", "a"}, "error: -j needs a whole number from 1 to 1024"},
        {{"-o", "o", "-j", "1025", "a"}, "error: -j needs a whole number from 1 to 1024"},
        {{"-o", "o", "-j2x", "a"}, "error: -j needs a whole number from 1 to 1024"},
        {{"-o", "o", "-j", "-2", "a"}, "error: -j needs a whole number from 1 to 1024"},
        {{"-o", "o", "-j"}, "error: the option -j needs a value"},
        {{"-o", "o", "-p:", "1", "a"}, "error: unknown option -p:"},
        {{"-o", "o", "-m", "new", "a"}, "error: unknown option -m"},
        {{"-o", "o", "-p:scale"}, "error: the option -p:scale needs a value"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const std::string& a : c.args)
            line += a + " ";
        EXPECT_EQ(parsed(c.args), c.expected) << line;
    }
}
