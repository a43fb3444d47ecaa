// A test fixture for code that measures texts with the system fonts: the environment lookup and
// the system font table cache what they find, so each test starts (and ends) with both cleared,
// and texts measure with the system fonts' metrics.
#pragma once

#include <gtest/gtest.h>

#include "base/SysEnv.h"
#include "font/SystemFontTable.h"
#include "font/TextMeasure.h"

class FreshFontLookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        fresh();
        useSystemFontMetrics();
    }
    void TearDown() override { fresh(); }
    static void fresh() {
        resetSysEnv();
        resetSystemFontTable();
    }
};
