#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>
#include <signal.h>

namespace nimbara::cli {

// While it lives, Ctrl+C (SIGINT) and SIGTERM no longer end the process at once: they arrive as
// interrupted() on the main thread, so that a running install can be cancelled and put back
// cleanly. An install that is already putting its new copy in place finishes first. One watch at
// a time; the earlier handling comes back when it goes.
class InterruptWatch : public QObject {
    Q_OBJECT

public:
    InterruptWatch();
    ~InterruptWatch() override;
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

Q_SIGNALS:
    void interrupted();

private:
    std::unique_ptr<QSocketNotifier> notifier_;
    struct sigaction previousInterrupt_ {};
    struct sigaction previousTerminate_ {};
};

} // namespace nimbara::cli
