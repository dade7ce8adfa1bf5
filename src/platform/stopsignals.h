// SIGINT and SIGTERM from a terminal, and SIGHUP when the terminal or the session goes, turned
// into an ordinary event: the handler only writes a byte to a pipe, and the callback runs later
// in the event loop, where it may safely ask the acquisition loop to end.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

namespace kr5 {

class StopSignals : public QObject {
  public:
    // Installs the handlers; onStop runs in the event loop once per signal received.
    explicit StopSignals(std::function<void()> onStop);
    ~StopSignals() override;

  private:
    std::function<void()> onStop_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace kr5
