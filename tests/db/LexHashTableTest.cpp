#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/LexHashTable.h"

namespace {

std::vector<std::string> keysInOrder(const LexHashTable<int>& table) {
    std::vector<std::string> keys;
    table.forEach([&keys](std::string_view key, const int&) {
        keys.emplace_back(key);
        return true;
    });
    return keys;
}

}  // namespace

TEST(LexHashTableTest, HashOverSignedBytesWithRotation) {
    // A byte of 128 or more is sign-extended before the exclusive-or.
    EXPECT_EQ(lexHash("\x80"), 0xFFFFFF01u);
    EXPECT_EQ(lexHash("\x01\x80"), ((((1u << 1) ^ 0xFFFFFF80u) << 1) | 1u));
}

TEST(LexHashTableTest, IterationFollowsBucketsAndChainHeads) {
    LexHashTable<int> table;
    int v = 0;
    // Inserted Sheet, Grid, Zone: written Zone (bucket 2), Grid (3), Sheet (5).
    for (const char* key : {"Sheet", "Grid", "Zone"})
        ASSERT_TRUE(table.insert(key, int(v++)));
    EXPECT_EQ(keysInOrder(table), (std::vector<std::string>{"Zone", "Grid", "Sheet"}));
    EXPECT_FALSE(table.insert("Grid", 9));
    EXPECT_EQ(*table.find("Grid"), 1);

    // Two keys of one bucket: the later one heads the chain. "a" (194 % 7 = 5) and "h"
    // (208 % 7 = 5).
    LexHashTable<int> chain;
    chain.insert("a", 1);
    chain.insert("h", 2);
    EXPECT_EQ(keysInOrder(chain), (std::vector<std::string>{"h", "a"}));
    int removed = 0;
    ASSERT_TRUE(chain.remove("h", &removed));
    EXPECT_EQ(removed, 2);
    EXPECT_EQ(keysInOrder(chain), (std::vector<std::string>{"a"}));
}

TEST(LexHashTableTest, GrowsThroughTheSeriesAndRehashesInBucketOrder) {
    EXPECT_EQ(lexHashNextSize(7), 13u);
    EXPECT_EQ(lexHashNextSize(65677), 131357u);
    EXPECT_EQ(lexHashNextSize(131357), 131357u);

    LexHashTable<int> table;
    for (int i = 0; i < 14; ++i)
        table.insert("k" + std::to_string(i), int(i));
    EXPECT_EQ(table.bucketCount(), 7u);
    table.insert("k14", 14);  // 15 keys exceed twice 7 buckets
    EXPECT_EQ(table.bucketCount(), 13u);
    // Order: bucket by bucket; within a bucket the key moved last heads it.
    std::vector<std::string> keys = keysInOrder(table);
    ASSERT_EQ(keys.size(), 15u);
    for (std::size_t i = 1; i < keys.size(); ++i) {
        EXPECT_LE(lexHash(keys[i - 1]) % 13, lexHash(keys[i]) % 13);
    }
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(*table.find("k" + std::to_string(i)), i);

    // Keys that all share one bucket stay quick to find and to destroy.
    LexHashTable<int> same;
    std::string key;
    for (int i = 0; i < 3000; ++i) {
        key.assign(static_cast<std::size_t>(i), '\0');  // every run of zero bytes hashes to 0
        same.insert(key, int(i));
    }
    EXPECT_EQ(same.size(), 3000u);
    EXPECT_EQ(*same.find(std::string(2999, '\0')), 2999);
}
