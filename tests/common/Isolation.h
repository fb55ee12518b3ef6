#pragma once
// Every test runs with its own temporary HOME and XDG folders, so settings, the desktop
// folder and the work folder never touch the developer's own.

#include <gtest/gtest.h>

#include <string>

namespace quorvex::test {

// Installs the per-test isolation listener. Call once from a test main.
void InstallIsolation();

// The current test's temporary HOME.
std::string TestHome();

// The body of the xdg-open first in PATH for the current test (a /bin/sh script). By
// default it appends its argument to $HOME/xdg-open.log and succeeds.
void SetXdgOpen(const std::string& script);

}  // namespace quorvex::test
