#pragma once

#include "core/error.h"

#include <QMetaObject>
#include <QObject>
#include <functional>
#include <memory>

namespace nimbara {

// Raised by an operation that stopped because its caller cancelled it. It is not a failure
// to show: whoever cancelled knows why.
class CancelledError : public Error {
public:
    CancelledError();
};

// The shared state behind a CancellationToken.
class CancellationState : public QObject {
    Q_OBJECT

Q_SIGNALS:
    void cancelled();
};

// Lets one party ask long work to stop and the work notice it. Copies share one state: the
// caller keeps a copy to cancel(), the work receives another. Cancelling is for good (a token
// is never reset) and may happen on any thread. A default-made token is simply never
// cancelled by anyone who does not hold a copy.
class CancellationToken {
public:
    CancellationToken();

    void cancel() const;
    bool isCancelled() const;

    // Throws CancelledError once the token is cancelled.
    void throwIfCancelled() const;

    // Runs `action` once on `context`'s thread after the token is cancelled: within cancel()
    // when that is called on the same thread, else queued (and queued soon after this call
    // when the token is already cancelled). Nothing runs once `context` is gone or the returned
    // connection is disconnected.
    QMetaObject::Connection onCancel(QObject* context, std::function<void()> action) const;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

} // namespace nimbara
