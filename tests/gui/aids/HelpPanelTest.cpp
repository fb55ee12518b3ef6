// Showing and hiding the help texts over the figure area.
#include <gtest/gtest.h>

#include <QPlainTextEdit>

#include "gui/aids/HelpPanel.h"
#include "tests/gui/aids/FakeAidsHost.h"

namespace quorvex {
namespace {

using test::FakeAidsHost;

QString PanelText(HelpText which) {
    return QString::fromStdString(HelpTextOf(which)).replace("\r\n", "\n");
}

TEST(HelpPanel, ClicksToggleOneSharedState) {
    // Each step: the button clicked, then whether the panel is shown and which text.
    struct Step {
        HelpText button;
        bool shown;
        HelpText text;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases = {
        {"general twice",
         {{HelpText::General, true, HelpText::General}, {HelpText::General, false, {}}}},
        {"the other button hides, a third click shows its own text",
         {{HelpText::General, true, HelpText::General},
          {HelpText::Batch, false, {}},
          {HelpText::Batch, true, HelpText::Batch}}},
    };
    for (const Case& c : cases) {
        FakeAidsHost host;
        int repaints = 0;
        for (const Step& s : c.steps) {
            ToggleHelpPanel(host, s.button);
            EXPECT_EQ(host.shown, s.shown) << c.what;
            EXPECT_EQ(host.panel().isVisibleTo(host.hostWindow()), s.shown) << c.what;
            EXPECT_EQ(host.repaints, ++repaints) << c.what;
            if (s.shown) {
                EXPECT_EQ(host.panel().toPlainText(), PanelText(s.text)) << c.what;
                EXPECT_EQ(host.panel().geometry(), host.area) << c.what;
            }
        }
    }
}

TEST(HelpPanel, ReadOnlySelectableWhiteWithMargins) {
    FakeAidsHost host;
    ToggleHelpPanel(host, HelpText::Batch);
    QPlainTextEdit& panel = host.panel();
    EXPECT_TRUE(panel.isReadOnly());
    EXPECT_TRUE(panel.textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_TRUE(panel.textInteractionFlags() & Qt::TextSelectableByKeyboard);
    EXPECT_EQ(panel.palette().color(QPalette::Inactive, QPalette::Base),
              panel.palette().color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(panel.document()->documentMargin(), 10);
    EXPECT_EQ(panel.toPlainText().count('\n'), 27);
}

TEST(HelpPanel, FollowsTheFigureAreaWhileShown) {
    FakeAidsHost host;
    PlaceHelpPanel(host);  // hidden: untouched
    EXPECT_EQ(host.panel().geometry(), QRect(0, 0, 10, 10));
    ToggleHelpPanel(host, HelpText::General);
    host.area = QRect(0, 250, 1000, 500);
    PlaceHelpPanel(host);
    EXPECT_EQ(host.panel().geometry(), host.area);
}

TEST(HelpPanel, MissingPanelStillFlipsTheState) {
    FakeAidsHost host;
    host.withPanel = false;
    ToggleHelpPanel(host, HelpText::General);
    EXPECT_TRUE(host.shown);
    EXPECT_EQ(host.repaints, 0);
}

}  // namespace
}  // namespace quorvex
