#pragma once
// Opening a folder in the desktop's file manager, with a failure that can be seen.

#include <QString>
#include <chrono>

namespace quorvex {

// Runs xdg-open on the folder's URL (no shell). xdg-open ends with a non-zero status when
// no file manager can take the folder; with a file manager that runs in the foreground it
// runs as long as that does, so it is waited for at most `wait` (the window keeps
// painting meanwhile) and still running then counts as opened. False when xdg-open cannot
// be started, crashes or ends with a non-zero status within the wait.
bool LaunchFileManager(const QString& folder,
                       std::chrono::milliseconds wait = std::chrono::seconds(3));

}  // namespace quorvex
