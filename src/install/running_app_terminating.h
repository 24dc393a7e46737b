#pragma once

#include <QCoro/QCoroTask>
#include <QString>

namespace nimbara {

// Quits the running instances of an app. Called on the main thread; never fails.
class RunningAppTerminating {
public:
    virtual ~RunningAppTerminating() = default;
    // Asks every running instance of the app with `bundleID` to quit and forces those still
    // running after `timeoutSeconds` (at once when it is 0 or less). True when no instance is
    // left running.
    virtual QCoro::Task<bool> terminate(QString bundleID, double timeoutSeconds) = 0;
};

} // namespace nimbara
