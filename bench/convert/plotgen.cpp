// trazon-plotgen KIND BYTES [SEED]: writes a generated plot of about BYTES bytes to standard
// output; KIND is "mixed" or "strokes". The same arguments give the same bytes.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "PlotGenerator.h"

int main(int argc, char** argv) {
    PlotKind kind;
    if (argc < 3 || argc > 4 || !plotKindFromName(argv[1], kind)) {
        std::fprintf(stderr, "usage: trazon-plotgen mixed|strokes BYTES [SEED] > plot.hpgl\n");
        return 2;
    }
    const unsigned long long bytes = std::strtoull(argv[2], nullptr, 10);
    const unsigned long long seed = argc == 4 ? std::strtoull(argv[3], nullptr, 10) : 1;
    if (!writePlot(stdout, kind, bytes, seed) || std::fflush(stdout) != 0) return 1;
    return 0;
}
