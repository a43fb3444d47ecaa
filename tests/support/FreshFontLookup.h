// A test fixture for code that measures texts: the environment lookup and the system font table
// cache what they find, so each test starts (and ends) with both cleared.
#pragma once

#include <gtest/gtest.h>

#include "base/SysEnv.h"
#include "font/SystemFontTable.h"

class FreshFontLookupTest : public ::testing::Test {
protected:
    void SetUp() override { fresh(); }
    void TearDown() override { fresh(); }
    static void fresh() {
        resetSysEnv();
        resetSystemFontTable();
    }
};
