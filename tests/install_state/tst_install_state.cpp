#include "catalog/app_install_state.h"
#include "core/decoding_error.h"
#include "support/temp_home.h"

#include <QJsonDocument>
#include <QTest>

using namespace nimbara;
using namespace Qt::StringLiterals;
using L = NimbaraLocale;

Q_DECLARE_METATYPE(nimbara::AppInstallState)
Q_DECLARE_METATYPE(nimbara::NimbaraLocale)

namespace {

QJsonObject object(const QByteArray& json) {
    return QJsonDocument::fromJson(json).object();
}

} // namespace

class TestInstallState : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void labels_data() {
        QTest::addColumn<AppInstallState>("state");
        QTest::addColumn<L>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0.999 truncated")
            << AppInstallState::installing(0.999) << L::en << u"Installing 99%"_s;
        QTest::newRow("0.29 is 29, not 28")
            << AppInstallState::installing(0.29) << L::en << u"Installing 29%"_s;
        QTest::newRow("polish") << AppInstallState::installing(0.427) << L::pl
                                << u"Instalowanie 42%"_s;
        QTest::newRow("beyond 1 held")
            << AppInstallState::installing(3.0) << L::en << u"Installing 100%"_s;
        QTest::newRow("below 0 held")
            << AppInstallState::installing(-0.5) << L::en << u"Installing 0%"_s;
        QTest::newRow("nan held") << AppInstallState::installing(std::nan("")) << L::en
                                  << u"Installing 0%"_s;
        QTest::newRow("installed")
            << AppInstallState::installed(u"1.2.3"_s) << L::en << u"Installed 1.2.3"_s;
        QTest::newRow("update") << AppInstallState::updateAvailable(u"1.0"_s, u"1.1"_s) << L::de
                                << u"1.0 -> 1.1"_s;
        QTest::newRow("failed: the message is not shown")
            << AppInstallState::failed(u"disk full"_s) << L::pl << u"Niepowodzenie"_s;
    }

    void labels() {
        QFETCH(AppInstallState, state);
        QFETCH(L, locale);
        QFETCH(QString, expected);
        QCOMPARE(state.label(locale), expected);
    }

    void jsonForm_data() {
        QTest::addColumn<AppInstallState>("state");
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("notInstalled") << AppInstallState() << QByteArray(R"({"notInstalled": {}})");
        QTest::newRow("installing") << AppInstallState::installing(0.04)
                                    << QByteArray(R"({"installing": {"progress": 0.04}})");
        QTest::newRow("installed") << AppInstallState::installed(u"2.0.0-beta.1"_s)
                                   << QByteArray(R"({"installed": {"version": "2.0.0-beta.1"}})");
        QTest::newRow("updateAvailable")
            << AppInstallState::updateAvailable(u"1"_s, u"2"_s)
            << QByteArray(
                   R"({"updateAvailable": {"installedVersion": "1", "latestVersion": "2"}})");
        QTest::newRow("failed") << AppInstallState::failed(u"Zażółć {gęślą}"_s)
                                << QByteArray(R"({"failed": {"message": "Zażółć {gęślą}"}})");
    }

    void jsonForm() {
        QFETCH(AppInstallState, state);
        QFETCH(QByteArray, json);
        QCOMPARE(state.toJson(), object(json));
        QCOMPARE(AppInstallState::fromJson(object(json)), state);
        // Keys beside the case and inside its payload are ignored.
        QByteArray extended = json.chopped(2) + R"(, "x": 2}, "extra": 1})";
        QCOMPARE(AppInstallState::fromJson(object(extended.replace("{, ", "{"))), state);
    }

    void decodeRejects_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("description");
        const QString keys = u"Invalid number of keys found, expected one."_s;
        QTest::newRow("two cases")
            << QByteArray(R"({"installed": {"version": "1"}, "failed": {"message": "x"}})") << keys;
        QTest::newRow("case key differs in case")
            << QByteArray(R"({"Installed": {"version": "1"}})") << keys;
        QTest::newRow("payload not an object")
            << QByteArray(R"({"notInstalled": true})")
            << u"notInstalled: expected an object, found a boolean"_s;
        QTest::newRow("mistyped field")
            << QByteArray(R"({"installing": {"progress": "0.5"}})")
            << u"installing.progress: expected a number, found a string"_s;
        QTest::newRow("second field missing")
            << QByteArray(R"({"updateAvailable": {"installedVersion": "1"}})")
            << u"updateAvailable.latestVersion: missing key"_s;
    }

    void decodeRejects() {
        QFETCH(QByteArray, json);
        QFETCH(QString, description);
        try {
            AppInstallState::fromJson(object(json));
            QFAIL("decoding succeeded");
        } catch (const DecodingError& error) {
            QCOMPARE(error.description(), description);
        }
    }
};

NIMBARA_TEST_MAIN(TestInstallState)
#include "tst_install_state.moc"
