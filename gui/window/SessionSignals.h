#pragma once
// SIGTERM and SIGHUP, what a desktop session sends at logout or shutdown, as a request to
// close the window. The handler only writes the signal number to a pipe (the self-pipe
// pattern); a notifier reads it on the main thread and calls onSignal there. A second
// signal before the process has ended ends it at once.

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace quorvex {

class SessionSignals final : public QObject {
  public:
    // Installs the handlers; at most one object per process.
    SessionSignals(std::function<void(int)> onSignal, QObject* parent = nullptr);
    // Restores the handlers that were there before.
    ~SessionSignals() override;

  private:
    std::function<void(int)> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace quorvex
