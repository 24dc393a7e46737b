#include "catalog/app_install_state.h"
#include "catalog/decoding_error.h"
#include "support/temp_home.h"
#include "text/nimbara_copy.h"

#include <QJsonDocument>
#include <QTest>

using namespace nimbara;

Q_DECLARE_METATYPE(nimbara::AppInstallState)
Q_DECLARE_METATYPE(nimbara::NimbaraLocale)

namespace {

QJsonObject object(const char* json) {
    return QJsonDocument::fromJson(QByteArray(json)).object();
}

} // namespace

class TestInstallState : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void equality();
    void labels_data();
    void labels();
    void failedLabelIgnoresMessage();
    void roundTrip_data();
    void roundTrip();
    void encodedForm();
    void decodeRejects_data();
    void decodeRejects();
    void decodeIgnoresUnknownKeys();
};

void TestInstallState::equality() {
    QCOMPARE(AppInstallState(), AppInstallState::notInstalled());
    QVERIFY(AppInstallState::installing(0.5) != AppInstallState::installing(0.51));
    QVERIFY(AppInstallState::installed(u"1.0"_qs) != AppInstallState::installed(u"1.0.0"_qs));
    QVERIFY(AppInstallState::updateAvailable(u"1"_qs, u"2"_qs) !=
            AppInstallState::updateAvailable(u"2"_qs, u"1"_qs));
    QVERIFY(AppInstallState::failed(u"x"_qs) != AppInstallState::installed(u"x"_qs));
    QCOMPARE(AppInstallState::failed(u"x"_qs), AppInstallState::failed(u"x"_qs));
    // Payload accessors answer only for their own case.
    QCOMPARE(AppInstallState::installed(u"1.2"_qs).version(), u"1.2"_qs);
    QCOMPARE(AppInstallState::failed(u"boom"_qs).version(), QString());
    QCOMPARE(AppInstallState::installing(0.25).kind(), AppInstallState::Case::installing);
}

void TestInstallState::labels_data() {
    QTest::addColumn<AppInstallState>("state");
    QTest::addColumn<NimbaraLocale>("locale");
    QTest::addColumn<QString>("expected");
    using L = NimbaraLocale;
    QTest::newRow("not installed") << AppInstallState() << L::en << u"Not installed"_qs;
    QTest::newRow("0.999 -> 99") << AppInstallState::installing(0.999) << L::en
                                 << u"Installing 99%"_qs;
    QTest::newRow("1.0 -> 100") << AppInstallState::installing(1.0) << L::en
                                << u"Installing 100%"_qs;
    QTest::newRow("0.0 -> 0") << AppInstallState::installing(0.0) << L::en << u"Installing 0%"_qs;
    QTest::newRow("0.427 -> 42") << AppInstallState::installing(0.427) << L::en
                                 << u"Installing 42%"_qs;
    QTest::newRow("polish") << AppInstallState::installing(0.42) << L::pl << u"Instalowanie 42%"_qs;
    QTest::newRow("german") << AppInstallState::installing(0.42) << L::de << u"Installiere 42%"_qs;
    QTest::newRow("beyond 1 held")
        << AppInstallState::installing(3.0) << L::en << u"Installing 100%"_qs;
    QTest::newRow("nan held") << AppInstallState::installing(std::nan("")) << L::en
                              << u"Installing 0%"_qs;
    QTest::newRow("installed") << AppInstallState::installed(u"1.2.3"_qs) << L::en
                               << u"Installed 1.2.3"_qs;
    QTest::newRow("update") << AppInstallState::updateAvailable(u"1.0"_qs, u"1.1"_qs) << L::de
                            << u"1.0 -> 1.1"_qs;
    QTest::newRow("failed") << AppInstallState::failed(u"disk full"_qs) << L::en << u"Failed"_qs;
}

void TestInstallState::labels() {
    QFETCH(AppInstallState, state);
    QFETCH(NimbaraLocale, locale);
    QFETCH(QString, expected);
    QCOMPARE(state.label(locale), expected);
}

void TestInstallState::failedLabelIgnoresMessage() {
    for (const NimbaraLocale locale : NimbaraLocales::allCases()) {
        QCOMPARE(AppInstallState::failed(u"a"_qs).label(locale),
                 AppInstallState::failed(u"something else entirely"_qs).label(locale));
        QCOMPARE(AppInstallState::failed(u"a"_qs).label(locale),
                 NimbaraCopy::text(CopyKey::installFailed, locale));
    }
}

void TestInstallState::roundTrip_data() {
    QTest::addColumn<AppInstallState>("state");
    QTest::newRow("notInstalled") << AppInstallState::notInstalled();
    QTest::newRow("installing") << AppInstallState::installing(0.04);
    QTest::newRow("installed") << AppInstallState::installed(u"2.0.0-beta.1"_qs);
    QTest::newRow("updateAvailable") << AppInstallState::updateAvailable(u"1.0"_qs, u"1.1"_qs);
    QTest::newRow("failed") << AppInstallState::failed(u"Zażółć \"gęślą\" jaźń"_qs);
}

void TestInstallState::roundTrip() {
    QFETCH(AppInstallState, state);
    const QByteArray bytes = QJsonDocument(state.toJson()).toJson();
    QCOMPARE(AppInstallState::fromJson(QJsonDocument::fromJson(bytes).object()), state);
}

void TestInstallState::encodedForm() {
    QCOMPARE(AppInstallState().toJson(), object(R"({"notInstalled": {}})"));
    QCOMPARE(AppInstallState::installing(0.5).toJson(),
             object(R"({"installing": {"progress": 0.5}})"));
    QCOMPARE(AppInstallState::updateAvailable(u"1"_qs, u"2"_qs).toJson(),
             object(R"({"updateAvailable": {"installedVersion": "1", "latestVersion": "2"}})"));
    QCOMPARE(AppInstallState::failed(u"m"_qs).toJson(), object(R"({"failed": {"message": "m"}})"));
}

void TestInstallState::decodeRejects_data() {
    QTest::addColumn<QString>("json");
    QTest::addColumn<QString>("description");
    const QString keys = u"Invalid number of keys found, expected one."_qs;
    QTest::newRow("two cases")
        << uR"({"installed": {"version": "1"}, "failed": {"message": "x"}})"_qs << keys;
    QTest::newRow("no case key") << uR"({"unrelated": {}})"_qs << keys;
    QTest::newRow("empty object") << u"{}"_qs << keys;
    QTest::newRow("case key differs in case") << uR"({"Installed": {"version": "1"}})"_qs << keys;
    QTest::newRow("payload not an object")
        << uR"({"notInstalled": true})"_qs << u"notInstalled: expected an object, found a boolean"_qs;
    QTest::newRow("missing field")
        << uR"({"installed": {}})"_qs << u"installed.version: missing key"_qs;
    QTest::newRow("mistyped field") << uR"({"installing": {"progress": "0.5"}})"_qs
                                    << u"installing.progress: expected a number, found a string"_qs;
    QTest::newRow("second field missing") << uR"({"updateAvailable": {"installedVersion": "1"}})"_qs
                                          << u"updateAvailable.latestVersion: missing key"_qs;
    QTest::newRow("null field") << uR"({"failed": {"message": null}})"_qs
                                << u"failed.message: null value for required key"_qs;
}

void TestInstallState::decodeRejects() {
    QFETCH(QString, json);
    QFETCH(QString, description);
    try {
        AppInstallState::fromJson(QJsonDocument::fromJson(json.toUtf8()).object());
        QFAIL("decoding succeeded");
    } catch (const DecodingError& error) {
        QCOMPARE(error.description(), description);
    }
}

void TestInstallState::decodeIgnoresUnknownKeys() {
    QCOMPARE(
        AppInstallState::fromJson(object(R"({"extra": 1, "installed": {"version": "3", "x": 2}})")),
        AppInstallState::installed(u"3"_qs));
    QCOMPARE(AppInstallState::fromJson(object(R"({"notInstalled": {"ignored": true}})")),
             AppInstallState::notInstalled());
}

NIMBARA_TEST_MAIN(TestInstallState)
#include "tst_install_state.moc"
