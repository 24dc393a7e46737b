#include "catalog/json_coding.h"
#include "catalog/json_reader.h"
#include "catalog/manifest_coding.h"
#include "catalog/seed_manifest.h"
#include "catalog_documents.h"
#include "tst_catalog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <QTimeZone>

using namespace nimbara;
using namespace nimbara::test;

void TestCatalog::roundTripsRichCatalog() {
    LauncherManifest catalog = validCatalog(); // apps[0] without optional values, apps[1] with all
    catalog.apps[1].tagline = QStringLiteral("Grüße, \"quoted\" \\ and ✓\nzażółć");
    catalog.apps[1].iconUrl = QUrl(QStringLiteral("https://example.com/ikony/żółw.png?x=1%202#v"));
    for (AppReleaseStatus status : AppReleaseStatuses::allCases()) {
        for (AppAccent accent : AppAccents::allCases()) {
            catalog.apps.append(catalog.apps[catalog.apps.size() % 2]);
            catalog.apps.last().status = status;
            catalog.apps.last().accent = accent;
        }
    }
    catalog.announcements.append(catalog.announcements[0]);
    catalog.announcements.last().version.reset();
    catalog.announcements.last().publishedAt.reset();

    const QByteArray bytes = encodeLauncherManifestJson(catalog);
    const LauncherManifest decoded = decodeLauncherManifest(bytes);
    QCOMPARE(decoded, catalog);
    QCOMPARE(qHash(decoded), qHash(catalog));
    QCOMPARE(encodeLauncherManifestJson(decoded), bytes);
}

void TestCatalog::encodingOmitsAbsentOptionals() {
    const QJsonObject seed = encodeLauncherManifest(SeedManifest::manifest());
    QCOMPARE(seed.keys(), QStringList({QStringLiteral("announcements"), QStringLiteral("apps"),
                                       QStringLiteral("generatedAt")}));
    QCOMPARE(seed.value(QStringLiteral("generatedAt")).toString(),
             QStringLiteral("2026-05-03T00:00:00Z"));
    QCOMPARE(seed.value(QStringLiteral("apps")), QJsonValue(QJsonArray{}));
    QCOMPARE(seed.value(QStringLiteral("announcements")), QJsonValue(QJsonArray{}));

    LauncherManifest catalog = validCatalog();
    QCOMPARE(encodeAppManifestItem(catalog.apps[0]).size(), 14); // no optional values
    QCOMPARE(encodeAppManifestItem(catalog.apps[1]).size(), 18);
    LauncherAnnouncement& announcement = catalog.announcements[0];
    announcement.publishedAt = QDateTime(QDate(2026, 5, 1), QTime(11, 30), QTimeZone(7200));
    QCOMPARE(encodeLauncherAnnouncement(announcement).value(QStringLiteral("publishedAt")),
             QJsonValue(QStringLiteral("2026-05-01T09:30:00Z")));
    announcement.version.reset();
    announcement.publishedAt.reset();
    const QJsonObject bare = encodeLauncherAnnouncement(announcement);
    QCOMPARE(bare.size(), 6);
    QVERIFY(!bare.contains(QStringLiteral("version")));
    QVERIFY(!bare.contains(QStringLiteral("publishedAt")));
}

void TestCatalog::encoderPrettyPrintsSortedKeys() {
    QJsonObject object;
    object.insert(QStringLiteral("zeta"), 1);
    object.insert(QStringLiteral("alpha"),
                  QJsonObject{{QStringLiteral("b"), true}, {QStringLiteral("a"), QJsonValue()}});
    const QByteArray bytes = encodeNimbaraJson(object);
    QVERIFY(bytes.contains("\n    \"alpha\": {\n        \"a\": null,\n        \"b\": true\n"));
    QVERIFY(bytes.indexOf("\"alpha\"") < bytes.indexOf("\"zeta\""));
    QCOMPARE(QJsonDocument::fromJson(bytes).object(), object);
    QCOMPARE(encodeNimbaraJson(QJsonValue(QStringLiteral("a \"b\""))), QByteArray(R"("a \"b\"")"));
    QCOMPARE(encodeNimbaraJson(QJsonValue(false)), QByteArray("false"));
}

void TestCatalog::parsesDateTimes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("expectedSeconds");

    const auto accept = [](const char* text, qint64 seconds) {
        QTest::newRow(text) << QString::fromLatin1(text) << true << seconds;
    };
    accept("2026-05-03T00:00:00Z", 1777766400);
    accept("2026-05-03T02:00:00+02:00", 1777766400);
    accept("2026-05-02T20:15:00-03:45", 1777766400);
    accept("2026-05-03T00:00:00-00:00", 1777766400);
    accept("1970-01-01T00:00:00Z", 0);
    accept("1969-12-31T23:59:59Z", -1);
    accept("2024-02-29T23:59:59Z", 1709251199);
    accept("2000-01-01T00:00:00+23:59", 946598460);
    for (const char* text : {"",
                             "2026-05-03T00:00:00.000Z",
                             "2026-05-03T00:00:00.5+02:00",
                             "2026-05-03T00:00:00",
                             "2026-05-03t00:00:00Z",
                             "2026-05-03T00:00:00z",
                             "2026-05-03 00:00:00Z",
                             "2026-5-03T00:00:00Z",
                             "2026-05-03T00:00Z",
                             "2026-13-01T00:00:00Z",
                             "2026-00-01T00:00:00Z",
                             "2026-04-31T00:00:00Z",
                             "2023-02-29T00:00:00Z",
                             "2026-05-03T24:00:00Z",
                             "2026-05-03T00:60:00Z",
                             "2026-05-03T00:00:60Z",
                             "2026-05-03T00:00:00+24:00",
                             "2026-05-03T00:00:00+02:60",
                             "2026-05-03T00:00:00+0200",
                             "2026-05-03T00:00:00 02:00",
                             "+2026-05-03T00:00:00Z",
                             "\uFF12026-05-03T00:00:00Z",
                             "2026-05-03T00:00:00ZZ"})
        QTest::newRow(text) << QString::fromUtf8(text) << false << qint64(0);
}

void TestCatalog::parsesDateTimes() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint64, expectedSeconds);

    const std::optional<QDateTime> instant = parseIso8601(text);
    QVERIFY2(instant.has_value() == valid,
             qPrintable(instant ? instant->toString(Qt::ISODate) : QStringLiteral("rejected")));
    if (!valid)
        return;
    QCOMPARE(instant->toSecsSinceEpoch(), expectedSeconds);
    QCOMPARE(instant->timeSpec(), Qt::UTC);
}

void TestCatalog::formatsDateTimes() {
    const QString seed = QStringLiteral("2026-05-03T00:00:00Z");
    QCOMPARE(formatIso8601(SeedManifest::manifest().generatedAt), seed);
    QCOMPARE(formatIso8601(QDateTime(QDate(2026, 5, 3), QTime(2, 0), QTimeZone(7200))), seed);
    QCOMPARE(formatIso8601(QDateTime::fromMSecsSinceEpoch(1777766400999, Qt::UTC)), seed);
    QCOMPARE(formatIso8601(QDateTime::fromMSecsSinceEpoch(-1500, Qt::UTC)),
             QStringLiteral("1969-12-31T23:59:58Z"));
    QCOMPARE(formatIso8601(QDateTime()), QString());
}

void TestCatalog::parsesAbsoluteUrls_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");

    for (const char* url : {"https://example.com/a.zip", "http://127.0.0.1:3000/api?lang=pl",
                            "file:///tmp/x.zip", "mailto:team@example.com"})
        QTest::newRow(url) << QString::fromLatin1(url) << true;
    for (const char* url :
         {"", " ", "/a.zip", "a.zip", "//example.com/a.zip", "https://exa mple.com",
          "https://example.com/%zz", "://example.com", "https://[::1/"})
        QTest::newRow(url) << QString::fromLatin1(url) << false;
}

void TestCatalog::parsesAbsoluteUrls() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const std::optional<QUrl> url = parseAbsoluteUrl(text);
    QCOMPARE(url.has_value(), valid);
    if (valid)
        QCOMPARE(url->toString(QUrl::FullyEncoded), text);
}

void TestCatalog::readerChecksNumbersAndPaths() {
    using namespace Qt::StringLiterals;
    const QJsonArray items{QJsonObject{{QStringLiteral("id"), QStringLiteral("a")}},
                           QJsonObject{{QStringLiteral("id"), 5}}};
    const JsonReader reader(QJsonObject{
        {QStringLiteral("count"), 3},
        {QStringLiteral("ratio"), 1.5},
        {QStringLiteral("flag"), QStringLiteral("true")},
        {QStringLiteral("nested"),
         QJsonObject{{QStringLiteral("numbers"), QJsonArray{1}}, {QStringLiteral("items"), items}}},
    });
    QCOMPARE(reader.requiredInteger("count"_L1), 3);
    QCOMPARE(reader.requiredNumber("ratio"_L1), 1.5);
    QCOMPARE(reader.optionalBool("absent"_L1), std::nullopt);

    const auto failure = [](auto action) {
        const std::optional<DecodingError> error = decodingErrorOf(action);
        return error ? error->description() : QStringLiteral("accepted");
    };
    const auto ids = [](const JsonReader& item) {
        return item.requiredString("id"_L1);
    };
    QCOMPARE(failure([&] { reader.requiredInteger("ratio"_L1); }),
             QStringLiteral("ratio: expected an integer, found 1.5"));
    QCOMPARE(failure([&] { reader.optionalBool("flag"_L1); }),
             QStringLiteral("flag: expected a boolean, found a string"));
    const JsonReader nested = reader.requiredObjectReader("nested"_L1);
    QCOMPARE(failure([&] { nested.requiredStringArray("numbers"_L1); }),
             QStringLiteral("nested.numbers[0]: expected a string, found a number"));
    QCOMPARE(failure([&] { nested.requiredObjectArray<QString>("numbers"_L1, ids); }),
             QStringLiteral("nested.numbers[0]: expected an object, found a number"));
    QCOMPARE(failure([&] { nested.optionalObjectArray<QString>("items"_L1, ids); }),
             QStringLiteral("nested.items[1].id: expected a string, found a number"));

    const JsonPath root;
    QCOMPARE(root.element(0).member("a"_L1).element(12).member("b"_L1).toString(),
             QStringLiteral("[0].a[12].b"));
}
