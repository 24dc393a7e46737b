#pragma once

#include <QCoro/QCoroFuture>
#include <QCoro/QCoroTask>
#include <QtConcurrent>
#include <exception>
#include <optional>
#include <type_traits>
#include <utility>

namespace nimbara {

// Runs `work` on the global thread pool and resumes the awaiting coroutine on its own thread
// with the result, or rethrows there exactly what `work` threw (QtConcurrent on its own would
// wrap any exception it does not know).
template <typename Work> QCoro::Task<std::invoke_result_t<Work>> onWorker(Work work) {
    using Result = std::invoke_result_t<Work>;
    if constexpr (std::is_void_v<Result>) {
        QFuture<std::exception_ptr> running =
            QtConcurrent::run([work = std::move(work)]() mutable -> std::exception_ptr {
                try {
                    work();
                    return nullptr;
                } catch (...) {
                    return std::current_exception();
                }
            });
        const std::exception_ptr failure = co_await running;
        if (failure)
            std::rethrow_exception(failure);
    } else {
        using Outcome = std::pair<std::optional<Result>, std::exception_ptr>;
        QFuture<Outcome> running = QtConcurrent::run([work = std::move(work)]() mutable -> Outcome {
            try {
                return {work(), nullptr};
            } catch (...) {
                return {std::nullopt, std::current_exception()};
            }
        });
        Outcome outcome = co_await running;
        if (outcome.second)
            std::rethrow_exception(outcome.second);
        co_return std::move(*outcome.first);
    }
}

} // namespace nimbara
