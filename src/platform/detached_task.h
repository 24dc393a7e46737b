#pragma once

#include <QCoro/QCoroTask>
#include <QLoggingCategory>
#include <QString>

namespace nimbara {

// Runs `task` to its end without anyone waiting for it (fire and forget). Whatever escapes the
// task is logged in `category` as "<what> failed: <reason>"; it never ends the process. Every
// coroutine started without being awaited goes through here, so that no failure is lost.
// `category` must outlive the task (the nimbara.* categories live as long as the process).
void startDetached(QCoro::Task<> task, const QLoggingCategory& category, QString what);

// The same for a task whose result nobody needs.
template <typename Result>
void startDetached(QCoro::Task<Result> task, const QLoggingCategory& category, QString what) {
    auto discardResult = [](QCoro::Task<Result> running) -> QCoro::Task<> {
        co_await std::move(running);
    };
    startDetached(discardResult(std::move(task)), category, std::move(what));
}

} // namespace nimbara
