// Test main of the binaries that need Qt: one application object for the whole binary,
// on the offscreen platform, with isolated HOME/XDG folders for every test.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tests/common/Isolation.h"

#ifdef QUORVEX_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

namespace {

// The offscreen platform's screen: QUORVEX_TEST_SCREEN ("1024x600") or one large enough for
// the window at any scale factor the tests use, so that the window is as on a desktop.
std::string OffscreenPlatform() {
    const char* wanted = getenv("QUORVEX_TEST_SCREEN");
    int w = 3840, h = 2400;
    if (wanted) std::sscanf(wanted, "%dx%d", &w, &h);
    char path[] = "/tmp/quorvex-screen-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return "offscreen";
    const std::string json =
        "{\"screens\": [{\"name\": \"test\", \"x\": 0, \"y\": 0, \"width\": " + std::to_string(w) +
        ", \"height\": " + std::to_string(h) +
        ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}";
    const bool ok = write(fd, json.data(), json.size()) == static_cast<ssize_t>(json.size());
    close(fd);
    return ok ? std::string("offscreen:configfile=") + path : std::string("offscreen");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string platform = OffscreenPlatform();
    setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    quorvex::test::InstallIsolation();
    TestApplication app(argc, argv);
    const int result = RUN_ALL_TESTS();
    if (const auto at = platform.find('='); at != std::string::npos)
        unlink(platform.c_str() + at + 1);
    return result;
}
