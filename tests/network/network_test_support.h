#pragma once

#include "platform/main_bundle.h"

#include <QByteArray>
#include <QCoro/QCoroTask>
#include <QVariantMap>
#include <exception>
#include <optional>

namespace nimbara::test {

// What a finished task gave: its value, or the exception it threw.
template <typename T> struct Outcome {
    std::optional<T> value;
    std::exception_ptr error;

    // A copy of the thrown error when it is an E.
    template <typename E> std::optional<E> errorAs() const {
        if (!error)
            return std::nullopt;
        try {
            std::rethrow_exception(error);
        } catch (const E& thrown) {
            return thrown;
        } catch (...) {
            return std::nullopt;
        }
    }
};

// Runs the event loop until `task` finishes and reports how it ended.
template <typename T> Outcome<T> outcomeOf(QCoro::Task<T> task) {
    Outcome<T> outcome;
    auto capture = [](QCoro::Task<T> running, Outcome<T>& into) -> QCoro::Task<> {
        try {
            into.value = co_await std::move(running);
        } catch (...) {
            into.error = std::current_exception();
        }
    };
    QCoro::waitFor(capture(std::move(task), outcome));
    return outcome;
}

// Sets (or, with no value, unsets) an environment variable for the object's lifetime.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, std::optional<QByteArray> value) : name_(name) {
        if (qEnvironmentVariableIsSet(name))
            saved_ = qgetenv(name);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~ScopedEnvironment() {
        if (saved_)
            qputenv(name_, *saved_);
        else
            qunsetenv(name_);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> saved_;
};

// A bundle whose Info.plist holds exactly `info`.
class FakeMainBundle : public MainBundle {
public:
    explicit FakeMainBundle(QVariantMap info) : info_(std::move(info)) {}
    QUrl bundleURL() const override { return {}; }
    std::optional<QVariant> infoValue(const QString& key) const override {
        if (!info_.contains(key))
            return std::nullopt;
        return info_.value(key);
    }

private:
    QVariantMap info_;
};

} // namespace nimbara::test
