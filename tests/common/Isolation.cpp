#include "tests/common/Isolation.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace quorvex::test {
namespace {

std::string g_home;

class IsolationListener final : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        char pattern[] = "/tmp/quorvex-test-XXXXXX";
        const char* root = mkdtemp(pattern);
        ASSERT_NE(root, nullptr);
        g_home = root;
        const std::string runtime = g_home + "/run";
        std::filesystem::create_directories(g_home + "/Desktop");
        std::filesystem::create_directories(g_home + "/.config");
        std::filesystem::create_directories(runtime);
        chmod(runtime.c_str(), 0700);
        setenv("HOME", g_home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (g_home + "/.config").c_str(), 1);
        setenv("XDG_DATA_HOME", (g_home + "/.local/share").c_str(), 1);
        setenv("XDG_CACHE_HOME", (g_home + "/.cache").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        setenv("TMPDIR", g_home.c_str(), 1);
        // No test starts the desktop's file manager: a stand-in xdg-open notes its argument.
        static const std::string systemPath = getenv("PATH") ? getenv("PATH") : "/usr/bin:/bin";
        std::filesystem::create_directories(g_home + "/bin");
        SetXdgOpen("printf '%s\\n' \"$1\" >> \"$HOME/xdg-open.log\"");
        setenv("PATH", (g_home + "/bin:" + systemPath).c_str(), 1);
    }
    void OnTestEnd(const ::testing::TestInfo& info) override {
        // Keep the folder of a failed test for a look; remove the others.
        if (!g_home.empty() && !info.result()->Failed()) {
            std::error_code ec;
            std::filesystem::remove_all(g_home, ec);
        }
        g_home.clear();
    }
};

}  // namespace

void InstallIsolation() {
    ::testing::UnitTest::GetInstance()->listeners().Append(new IsolationListener);
}

std::string TestHome() {
    return g_home;
}

void SetXdgOpen(const std::string& script) {
    const std::string path = g_home + "/bin/xdg-open";
    std::ofstream(path, std::ios::trunc) << "#!/bin/sh\n" << script << "\n";
    chmod(path.c_str(), 0755);
}

}  // namespace quorvex::test
