#pragma once

#include <QObject>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

namespace nimbara::test {

// Several QtTest classes in one executable: each file registers its class with
// NIMBARA_REGISTER_TEST(Class), and main() runs them all with runRegisteredTests().
using TestFactory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<TestFactory>& registeredTests() {
    static std::vector<TestFactory> tests;
    return tests;
}

struct TestRegistration {
    explicit TestRegistration(TestFactory factory) {
        registeredTests().push_back(std::move(factory));
    }
};

// Runs every registered class with the command line's arguments; non-zero when any failed.
inline int runRegisteredTests(int argc, char** argv) {
    int failures = 0;
    for (const TestFactory& factory : registeredTests()) {
        const std::unique_ptr<QObject> test = factory();
        failures += QTest::qExec(test.get(), argc, argv) != 0 ? 1 : 0;
    }
    return failures;
}

} // namespace nimbara::test

#define NIMBARA_REGISTER_TEST(Class)                                                               \
    static const nimbara::test::TestRegistration registration_##Class(                             \
        [] { return std::make_unique<Class>(); })
