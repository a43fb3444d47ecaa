// Every plot of the public corpus is read and dispatched to its end.
#include <gtest/gtest.h>

#include "hpgl/HpglInterpreter.h"
#include "support/TestSupport.h"

TEST(HpglCorpus, EveryPlotRunsToItsEnd) {
    const std::vector<std::string> files = testsupport::corpusFiles();
    ASSERT_FALSE(files.empty());
    for (const std::string& file : files) {
        resetUnitFactor();
        setUnitFactor(40.0);
        HpglInterpreter in(file);
        ASSERT_EQ(in.open(), 1) << file;
        const long count = in.countStatements();
        EXPECT_GE(count, 1) << file;
        // Each batch holds at least one statement, so the end comes within count + 1 batches.
        bool ended = false;
        size_t figures = 0;
        for (long i = 0; i <= count + 1 && !ended; ++i) {
            StatementBatch b;
            in.dispatchBatch(b);
            figures += b.figures.size();
            for (const auto& f : b.figures)
                EXPECT_NE(f, nullptr) << file;
            ended = b.hasCode(60);
        }
        EXPECT_TRUE(ended) << file;
    }
    resetUnitFactor();
}
