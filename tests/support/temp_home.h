#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>
#include <utility>

namespace nimbara::test {

// Points HOME and every XDG_* base directory into a fresh temporary folder for as long as
// the object lives, so that no test touches the real home, trash or autostart folder.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    QString configHome() const; // $XDG_CONFIG_HOME

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QList<std::pair<QByteArray, std::optional<QByteArray>>> saved_;
};

} // namespace nimbara::test

// Runs a QtTest class inside a temporary home.
#define NIMBARA_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char** argv) {                                                              \
        QCoreApplication app(argc, argv);                                                          \
        nimbara::test::TempHome home;                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
