// Test main of the binaries that need Qt: one application object for the whole binary,
// on the offscreen platform, with isolated HOME/XDG folders for every test.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "tests/common/Isolation.h"

#ifdef QUORVEX_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    quorvex::test::InstallIsolation();
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
