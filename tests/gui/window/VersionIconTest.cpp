// The version window shows the program's own icon, which the main window gives the whole
// application, not the style's generic one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QStyle>

#include "gui/aids/VersionWindow.h"
#include "gui/window/TesselDlg.h"

namespace quorvex {
namespace {

TEST(VersionWindowIcon, ShowsTheApplicationsIcon) {
    CTesselDlg window;
    ASSERT_FALSE(QApplication::windowIcon().isNull());
    CAboutDlg about(&window);
    const QLabel* iconLabel = nullptr;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        if (!label->pixmap().isNull()) iconLabel = label;
    }
    ASSERT_NE(iconLabel, nullptr);
    const QImage shown = iconLabel->pixmap().toImage();
    const QSize size = iconLabel->pixmap().size();
    EXPECT_EQ(shown, window.windowIcon().pixmap(size).toImage());
    EXPECT_NE(shown, about.style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(size).toImage());
    // Every window of the program, this one included, carries the same icon.
    EXPECT_EQ(about.windowIcon().pixmap(size).toImage(), shown);
}

}  // namespace
}  // namespace quorvex
