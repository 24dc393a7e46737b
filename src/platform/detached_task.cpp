#include "platform/detached_task.h"

#include "core/logging.h"

namespace nimbara {

namespace {

QCoro::Task<> awaitDetached(QCoro::Task<> task, const QLoggingCategory& category, QString what) {
    try {
        co_await task;
    } catch (...) {
        qCWarning(category).noquote() << what << "failed:" << currentFailureReason();
    }
}

} // namespace

void startDetached(QCoro::Task<> task, const QLoggingCategory& category, QString what) {
    // The wrapper's own task is dropped on purpose: a finished coroutine whose task is gone
    // frees itself, and the wrapper lets nothing escape.
    awaitDetached(std::move(task), category, std::move(what));
}

} // namespace nimbara
