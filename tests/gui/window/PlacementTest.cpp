// The window's place and size across restarts, through the settings store: what one run
// stores the next one applies, so nothing drifts however often the program is started.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <tuple>
#include <vector>

#include "engine/settings/SettingsStore.h"
#include "gui/window/TesselDlg.h"

namespace quorvex {
namespace {

void Store(const QString& name, const QVariant& value) {
    QSettings s(SettingsFilePath(), QSettings::IniFormat);
    s.setValue(QStringLiteral("Last/") + name, value);
}

void Settle() {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

using Geometry = std::tuple<int, int, int, int, int, int>;  // PX PY SX SY, figure w h

TEST(WindowPlacement, FiveRestartsKeepTheStoredGeometryAndFigureSize) {
    struct Case {
        const char* what;
        bool maximised;  // starts maximised
        bool restore;    // and the user restores it before closing
    };
    const Case cases[] = {
        {"normal window", false, false},
        {"closed maximised", true, false},
        {"opened maximised, then restored", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(SettingsFilePath());
        Store("PX", 40);
        Store("PY", 50);
        Store("SX", 1200);
        Store("SY", 700);
        std::vector<Geometry> runs;
        for (int run = 0; run < 6; ++run) {
            Store("Zoomed", c.maximised ? 1 : 0);
            QSize figure;
            {
                CTesselDlg dlg;
                dlg.show();
                Settle();
                EXPECT_EQ(dlg.isMaximized(), c.maximised);
                if (c.restore) {
                    dlg.showNormal();
                    Settle();
                }
                if (!dlg.isMaximized()) {
                    EXPECT_EQ(dlg.frameGeometry(), QRect(40, 50, 1200, 700)) << "run " << run;
                }
                figure = dlg.figureSize();
                dlg.reject();
            }
            const StoredSettings s = LoadSettings();
            EXPECT_EQ(s.Zoomed, c.maximised && !c.restore ? 1 : 0);
            runs.emplace_back(s.PX, s.PY, s.SX, s.SY, figure.width(), figure.height());
        }
        EXPECT_EQ(std::get<0>(runs[0]), 40);
        EXPECT_EQ(std::get<1>(runs[0]), 50);
        EXPECT_EQ(std::get<2>(runs[0]), 1200);
        EXPECT_EQ(std::get<3>(runs[0]), 700);
        for (std::size_t k = 1; k < runs.size(); ++k) EXPECT_EQ(runs[k], runs[0]) << "run " << k;
    }
}

}  // namespace
}  // namespace quorvex
