#include "db/SettingsKeys.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

// The key tables are data written by hand: every key once, every slot filled by exactly one key
// of the right form, and every row complete for its form.
TEST(SettingsKeys, EveryKeyOnceEverySlotOnce) {
    struct Set {
        const char* name;
        const SettingsKeySet& keys;
        int scalarSlots, tableSlots;
    };
    const Set sets[] = {
        {"landata", databaseKeys(), kDbSheetNetErrorLevel + 1, kDbLcdbPathTable + 1},
        {"lanenv", environmentKeys(), kEnvDoNotSelectUnvisiblePbox + 1, kEnvSchSheetAttrTable + 1},
    };
    for (const Set& set : sets) {
        SCOPED_TRACE(set.name);
        EXPECT_EQ(set.keys.scalarSlots(), set.scalarSlots);
        EXPECT_EQ(static_cast<int>(set.keys.tableColumns().size()), set.tableSlots);
        std::vector<int> scalarUses(static_cast<std::size_t>(set.scalarSlots));
        std::vector<int> tableUses(static_cast<std::size_t>(set.tableSlots));
        const SettingsKey* previous = nullptr;
        for (const SettingsKey& key : set.keys.keys()) {
            SCOPED_TRACE(key.key);
            if (previous != nullptr) {
                EXPECT_LT(std::strcmp(previous->key, key.key), 0);
            }
            previous = &key;
            EXPECT_EQ(set.keys.find(key.key), &key);
            EXPECT_EQ(key.names.empty(), key.form != SettingsForm::Name);
            EXPECT_EQ(key.columns.empty(), key.form != SettingsForm::Table);
            if (key.form == SettingsForm::Kept) {
                EXPECT_EQ(key.slot, -1);
            } else if (key.form == SettingsForm::Table) {
                ASSERT_GE(key.slot, 0);
                ASSERT_LT(key.slot, set.tableSlots);
                ++tableUses[static_cast<std::size_t>(key.slot)];
            } else {
                ASSERT_GE(key.slot, 0);
                ASSERT_LT(key.slot, set.scalarSlots);
                ++scalarUses[static_cast<std::size_t>(key.slot)];
            }
        }
        EXPECT_EQ(scalarUses, std::vector<int>(scalarUses.size(), 1));
        EXPECT_EQ(tableUses, std::vector<int>(tableUses.size(), 1));
    }
    // Keys are told apart byte for byte: a key in other letters is no key.
    EXPECT_EQ(databaseKeys().find("ColorTable"), nullptr);
    EXPECT_EQ(environmentKeys().find("blockCheckTiming"), nullptr);
    EXPECT_NE(environmentKeys().find("BlockCheckTiming"), nullptr);
}
