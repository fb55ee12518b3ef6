#include <gtest/gtest.h>

#include <set>

#include "core/model/OptionTable.h"

namespace quorvex {
namespace {

TEST(OptionTable, StoredValuesFollowEachRule) {
    struct Case {
        std::string_view key;
        int stored;
        int kept;
    };
    const Case cases[] = {
        {"Shosu", 9, 5},      {"Shosu", -1, 0},           {"Shosu", 3, 3},
        {"FontSize", 4, 5},   {"FontSize", 51, 50},       {"Futosa", 21, 20},
        {"Yohaku", -4, 0},    {"Separate", 7, 2},         {"Separate", -7, 0},
        {"DrawName", 2, 0},   {"DrawName", 1, 1},         {"DrawRitu", -1, 0},
        {"DrawUnder", 5, 1},  {"DrawUnder", 0, 0},        {"DrawUnder", -3, 1},
        {"CenterLine", 7, 7}, {"CenterLine", -2, -2},     {"OutType", 4, 4},
        {"OutSaki", 9, 9},    {"OutSaki", -1, -1},        {"BreakEven", 2, 0},
        {"BreakEven", 1, 1},  {"BatchIndicators", -1, 0}, {"BatchIndicators", 1, 1},
    };
    for (const Case& c : cases) {
        const OptionEntry* entry = nullptr;
        for (const OptionEntry& s : kOptionTable) {
            if (s.key == c.key) entry = &s;
        }
        ASSERT_NE(entry, nullptr) << c.key;
        EXPECT_EQ(StoredOptionValue(*entry, c.stored), c.kept) << c.key << " " << c.stored;
    }
}

TEST(OptionTable, EveryRowNamesItsOwnFieldAndAValidDefault) {
    std::set<std::string_view> keys;
    DiagramOptions diagram;
    OutputOptions output;
    int marker = 100;
    for (const OptionEntry& entry : kOptionTable) {
        EXPECT_TRUE(keys.insert(entry.key).second) << entry.key;
        EXPECT_NE(entry.diagram == nullptr, entry.output == nullptr) << entry.key;
        EXPECT_LE(entry.low, entry.high) << entry.key;
        EXPECT_GE(OptionDefault(entry), entry.low) << entry.key;
        EXPECT_LE(OptionDefault(entry), entry.high) << entry.key;
        EXPECT_EQ(StoredOptionValue(entry, OptionDefault(entry)), OptionDefault(entry))
            << entry.key;
        OptionValue(entry, diagram, output) = ++marker;
    }
    // Every field of both records is reached by exactly one row (rows in table order).
    EXPECT_EQ(diagram, (DiagramOptions{105, 101, 102, 103, 104, 109, 110, 111, 112, 113}));
    EXPECT_EQ(output, (OutputOptions{106, 107, 108, 114}));
}

}  // namespace
}  // namespace quorvex
