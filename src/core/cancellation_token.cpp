#include "core/cancellation_token.h"

#include <atomic>

namespace nimbara {

CancelledError::CancelledError()
    : Error(QStringLiteral("The operation was cancelled."), QStringLiteral("CancelledError")) {}

struct CancellationToken::Shared {
    std::atomic<bool> cancelled{false};
    CancellationState state;
};

CancellationToken::CancellationToken() : shared_(std::make_shared<Shared>()) {}

void CancellationToken::cancel() const {
    if (!shared_->cancelled.exchange(true))
        Q_EMIT shared_->state.cancelled();
}

bool CancellationToken::isCancelled() const {
    return shared_->cancelled.load();
}

void CancellationToken::throwIfCancelled() const {
    if (isCancelled())
        throw CancelledError();
}

QMetaObject::Connection CancellationToken::onCancel(QObject* context,
                                                    std::function<void()> action) const {
    // The signal may fire between connecting and the check below; the flag keeps the action
    // to a single run either way.
    auto once = [ran = std::make_shared<std::atomic<bool>>(false), action = std::move(action)] {
        if (!ran->exchange(true))
            action();
    };
    const QMetaObject::Connection connection =
        QObject::connect(&shared_->state, &CancellationState::cancelled, context, once);
    if (isCancelled())
        QMetaObject::invokeMethod(context, once, Qt::QueuedConnection);
    return connection;
}

} // namespace nimbara
