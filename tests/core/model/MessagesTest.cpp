#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/model/Messages.h"
#include "core/model/TextLines.h"

namespace quorvex {
namespace data {
extern const std::string_view kMessagesTsv;
}
namespace {

// Two rows with one id would make the later text unreachable, and features added side by
// side pick their ids independently.
TEST(MessageCatalogue, EveryIdOnce) {
    std::set<std::string> ids;
    int rows = 0;
    for (std::string_view line : TextLines(data::kMessagesTsv)) {
        if (!IsTableRow(line)) continue;
        ++rows;
        const std::string id(line.substr(0, line.find('\t')));
        EXPECT_TRUE(ids.insert(id).second) << "id " << id << " twice";
    }
    EXPECT_GT(rows, 50);
}

TEST(QuoteField, LongTextsAreCutAndNulsShown) {
    const std::string kanji200 = [] {
        std::string s;
        for (int i = 0; i < 200; ++i) s += "期";
        return s;
    }();
    struct Case {
        const char* what;
        std::string field;
        std::string shown;
    };
    const Case cases[] = {
        {"short", "第5期_BS.jpeg", "第5期_BS.jpeg"},
        {"200 characters", std::string(200, 'a'), std::string(200, 'a')},
        {"201 characters", std::string(201, 'a'), std::string(200, 'a') + "…"},
        {"50 MB", std::string(50'000'000, '9'), std::string(200, '9') + "…"},
        {"counted in characters, not bytes", kanji200 + "期", kanji200 + "…"},
        {"a NUL", std::string("5\0x_BS.png", 10), "5\uFFFDx_BS.png"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QuoteField(c.field), c.shown) << c.what;
    }
}

}  // namespace
}  // namespace quorvex
