// What one paste puts into the ten fields of a column.
#include <gtest/gtest.h>

#include "core/aids/InputText.h"

namespace quorvex {
namespace {

using Fields = std::array<std::string, kItemCount>;

struct PasteCase {
    const char* what;
    std::string clipboard;
    Fields expected;
};

TEST(PasteFields, SplitsLikeAPaste) {
    const std::vector<PasteCase> cases = {
        {"two names", "流動資産,固定資産", {"流動資産", "固定資産"}},
        {"a spreadsheet row keeps its line break in the tenth field",
         "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\n",
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10\n"}},
        {"two rows: the line break is no separator",
         "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\r\n11\t12\t13\t14\t15\t16\t17\t18\t19\t20\r\n",
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10\r\n11"}},
        {"fields after the tenth are dropped",
         "a,b,c,d,e,f,g,h,i,j,k,l",
         {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}},
        {"grouping commas spread one amount over three fields",
         "1,234,567\t89",
         {"1", "234", "567", "89"}},
        {"tabs and commas mixed, blanks kept", " a ,\tb\t,c", {" a ", "", "b", "", "c"}},
        {"nothing empties every field", "", {}},
        {"a trailing separator gives an empty last field", "x,", {"x", ""}},
    };
    for (const auto& c : cases) EXPECT_EQ(PasteFields(c.clipboard), c.expected) << c.what;
}

TEST(TabsToCommas, CountsAndReplacesEveryTab) {
    std::string text = "\t流動資産\t\t,x\t";
    EXPECT_EQ(TabsToCommas(text), 4);
    EXPECT_EQ(text, ",流動資産,,,x,");
    std::string none = "a,b";
    EXPECT_EQ(TabsToCommas(none), 0);
    EXPECT_EQ(none, "a,b");
}

}  // namespace
}  // namespace quorvex
