// Figure geometry and the control table, without a window.
#include <gtest/gtest.h>

#include <set>

#include "gui/widgets/DialogUnits.h"
#include "gui/window/ControlTable.h"
#include "gui/window/Layout.h"

namespace quorvex {
namespace {

TEST(FigureLayout, SideBySideBelowTheSeparator) {
    struct Case {
        int cw, ch, s, m;
        PixelRect bs, pl;
        std::string label;
    };
    const Case cases[] = {
        {1000, 600, 374, 10, {10, 384, 495, 590}, {505, 384, 990, 590}, "図の大きさ : 485 × 206"},
        // One more pixel goes to the right margin.
        {1001, 600, 374, 10, {10, 384, 495, 590}, {505, 384, 990, 590}, "図の大きさ : 485 × 206"},
        {1000, 600, 374, 0, {0, 374, 500, 600}, {500, 374, 1000, 600}, "図の大きさ : 500 × 226"},
        {1000, 600, 374, 20, {20, 394, 490, 580}, {510, 394, 980, 580}, "図の大きさ : 470 × 186"},
        // Too small a window gives negative sizes; nothing is drawn then.
        {0, 0, 374, 10, {10, 384, -5, -10}, {5, 384, -10, -10}, "図の大きさ : -15 × -394"},
    };
    for (const Case& c : cases) {
        const FigureLayout l = LayoutFigureRects(c.cw, c.ch, c.s, c.m);
        EXPECT_EQ(l.bsRect, c.bs) << c.cw << " " << c.m;
        EXPECT_EQ(l.plRect, c.pl) << c.cw << " " << c.m;
        EXPECT_EQ(l.figureArea, (PixelRect{0, c.s, c.cw, c.ch}));
        EXPECT_EQ(FigureSizeText(l.bsRect.width(), l.bsRect.height()), c.label);
    }
}

TEST(FigureLayout, DialogUnitsFollowTheFontBaseUnits) {
    const BaseUnits u{8.9, 16};
    EXPECT_EQ(u.Y(187), 374);
    EXPECT_EQ(u.Y(296), 592);
    EXPECT_EQ(u.X(492), 1095);
    EXPECT_EQ(u.X(0), 0);
    EXPECT_EQ(u.X(1), 2);
}

TEST(ControlTable, RangesExpandToTheItemRows) {
    const auto table = ParseControlTable(
        "# comment\n"
        "3100..3109\tedit\t\t118\t17\t52\t12\tright,digits,tab\t\t\n"
        "-\tlabel\t期\t302\t136\t9\t8\tcenter\t\t\n"
        "2\timagebutton\t終了(&X)\t452\t2\t38\t17\ttab\tend\tこのアプリケーションを終了します\n"
        "bad\tlabel\tx\t1\t2\t3\t4\t\t\t\n"
        "5\tunknownkind\tx\t1\t2\t3\t4\t\t\t\n"
        "6\tlabel\tx\t1\t2\n");
    ASSERT_EQ(table.size(), 12u);
    const int ys[] = {17, 32, 47, 62, 77, 110, 125, 140, 155, 170};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(table[std::size_t(i)].id, 3100 + i);
        EXPECT_EQ(table[std::size_t(i)].rect, (DialogRect{118, ys[i], 52, 12}));
        EXPECT_EQ(table[std::size_t(i)].flags, kFlagRight | kFlagDigits | kFlagTab);
    }
    EXPECT_EQ(table[10].id, kNoId);
    EXPECT_EQ(table[10].flags, unsigned(kFlagCentre));
    EXPECT_EQ(table[11].picture, "end");
    EXPECT_EQ(table[11].tip, "このアプリケーションを終了します");
    EXPECT_EQ(table[11].kind, ControlKind::ImageButton);
}

TEST(ControlTable, TheMainWindowTable) {
    const auto& table = MainWindowControls();
    std::set<int> ids;
    int labels = 0;
    for (const auto& c : table) {
        if (c.id != kNoId) {
            EXPECT_TRUE(ids.insert(c.id).second) << "duplicate " << c.id;
        }
        if (c.id == kNoId) ++labels;
        EXPECT_LE(c.rect.x + c.rect.w, 492) << c.id;
        EXPECT_LE(c.rect.y + c.rect.h, 296) << c.id;
    }
    EXPECT_EQ(ids.size(), 107u);  // the described 102, the import button, the warning line,
                                  // the 比例縮尺 box, the 比較図 and 指標 buttons
    EXPECT_EQ(labels, 22);
    for (int id :
         {2,    101,  102,  103,  1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010,
          1011, 1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020, 1021, 1022, 1023, 1024, 1025, 1026,
          1027, 1028, 1029, 1030, 1031, 1032, 1033, 1034, 1035, 1036, 1037, 1038, 1039, 1040, 1041,
          1042, 1043, 1044, 1045, 1047, 1048, 1049, 1050, 1051, 1052, 1053, 1054}) {
        EXPECT_TRUE(ids.count(id)) << id;
    }
    EXPECT_EQ(MainWindowProperties().at("caption"), "Quorvex(財務諸表比率図作成ソフト)");
}

}  // namespace
}  // namespace quorvex
