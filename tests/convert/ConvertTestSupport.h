// Shared set-up of the conversion tests: settings read from text, and a fresh database with its
// sheet in a temporary directory, reached through handles as the driver reaches them.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "base/ErrorRecord.h"
#include "convert/DbHandle.h"
#include "db/LexDatabase.h"
#include "db/LexSheet.h"
#include "db/ResourceSettings.h"
#include "hpgl/PlotPage.h"
#include "support/TestSupport.h"

namespace converttest {

class SheetFixture : public ::testing::Test {
protected:
    // The database settings used unless a test reads others: widths 0, 3, 4; text heights 2000,
    // 2500, 3000; explicit non-zero defaults so that a default written as a flag shows.
    static constexpr std::string_view kLandata =
        "lineWidth 2 { 0 0  1 3  2 4 }\n"
        "textTable 5 { 0 1500 2000 300 1000  1 1875 2500 375 1250  2 2250 3000 450 1500 }\n"
        "lineStyleTable 5 { 0 0 0 0 0  1 1 1 1 1  2 2 2 2 2 }\n"
        "defaultLineStyle : 2\n"
        "defaultLineWidth : 0\n";

    void SetUp() override {
        ASSERT_EQ(dbInitialise(), 1);
        ASSERT_EQ(landata.read(kLandata), 1);
        resetUnitFactor();
        ErrorRecord::instance().clear();
        database = dbOpen(dir.file("out.smb"), &landata, LexDatabase::kModeCreate);
        sheetHandle = dbCreateSheet(database, "Sheet", LexSheet::kKindSymbol);
        ASSERT_NE(sheetHandle.sheet(), nullptr);
    }
    void TearDown() override {
        dbCloseAll();
        resetUnitFactor();
    }

    LexSheet& sheet() { return *sheetHandle.sheet(); }

    testsupport::TempDir dir;
    DatabaseSettings landata{false};
    DbHandle database;
    DbHandle sheetHandle;
};

}  // namespace converttest
