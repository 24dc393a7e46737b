#pragma once

#include <QCoro/QCoroTask>
#include <exception>
#include <optional>
#include <type_traits>
#include <variant>

namespace nimbara::test {

// What a finished task gave: its value (an empty marker for a task without one), or what it threw.
template <typename T> struct Outcome {
    std::optional<std::conditional_t<std::is_void_v<T>, std::monostate, T>> value;
    std::exception_ptr error;

    // The thrown exception as an `E`, if it was one.
    template <typename E> std::optional<E> errorAs() const {
        try {
            if (error)
                std::rethrow_exception(error);
        } catch (const E& thrown) {
            return thrown;
        } catch (...) {
        }
        return std::nullopt;
    }
};

template <typename T> QCoro::Task<> captureOutcome(QCoro::Task<T> task, Outcome<T>& into) {
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::move(task);
            into.value.emplace();
        } else {
            into.value = co_await std::move(task);
        }
    } catch (...) {
        into.error = std::current_exception();
    }
}

// Runs the event loop until `task` ends. QCoro::waitFor never returns from a task that throws, so
// tests await tasks through this.
template <typename T> Outcome<T> outcomeOf(QCoro::Task<T> task) {
    Outcome<T> outcome;
    QCoro::Task<> capturing = captureOutcome(std::move(task), outcome);
    QCoro::waitFor(std::move(capturing));
    return outcome;
}

} // namespace nimbara::test
