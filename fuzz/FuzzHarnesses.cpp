#include "FuzzHarnesses.h"

std::span<const FuzzHarness> fuzzHarnesses() {
    static constexpr FuzzHarness kHarnesses[] = {
        {"plot", fuzzPlot},         {"roundtrip", fuzzRoundTrip}, {"sheet", fuzzSheet},
        {"settings", fuzzSettings}, {"rcpath", fuzzPathTable},    {"penmap", fuzzPenMap},
        {"catalog", fuzzCatalog},   {"font", fuzzFont},           {"splitfont", fuzzSplitFont},
    };
    return kHarnesses;
}
