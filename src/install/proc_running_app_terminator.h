#pragma once

#include "install/running_app_terminating.h"

#include <chrono>
#include <functional>

namespace nimbara {

// Quits running apps through /proc and signals. An instance is a process of this user whose
// program lies inside a `*.app` folder carrying the identifier (see processesRunningApp). Each
// gets SIGTERM; the instances are listed again every 150 ms until none is left or the time-out
// has passed; those still listed then get SIGKILL, and the listing is repeated for up to a second
// while the killed processes go away. Listings run on worker threads; waiting suspends.
class ProcRunningAppTerminator : public RunningAppTerminating {
public:
    // Suspends the caller for the given time. Tests may pass one that also records the waits.
    using Pause = std::function<QCoro::Task<>(std::chrono::milliseconds)>;

    static constexpr std::chrono::milliseconds kPollInterval{150};
    // How long a killed process is given to disappear, and how often it is looked for.
    static constexpr std::chrono::milliseconds kForcedQuitWait{1000};
    static constexpr std::chrono::milliseconds kForcedQuitPollInterval{50};

    explicit ProcRunningAppTerminator(Pause pause = {});

    QCoro::Task<bool> terminate(QString bundleID, double timeoutSeconds) override;

private:
    Pause pause_;
};

} // namespace nimbara
