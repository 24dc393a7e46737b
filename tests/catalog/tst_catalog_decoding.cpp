#include "catalog/manifest_coding.h"
#include "catalog/seed_manifest.h"
#include "catalog_documents.h"
#include "tst_catalog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;

namespace {

LauncherManifest decode(const QJsonObject& document) {
    return decodeLauncherManifest(QJsonDocument(document).toJson());
}

const QJsonValue absent(QJsonValue::Undefined);

} // namespace

void TestCatalog::decodesEveryField() {
    QCOMPARE(decode(validCatalogDocument()), validCatalog());
}

void TestCatalog::minimalDocumentEqualsSeed() {
    const LauncherManifest manifest =
        decodeLauncherManifest(R"({"generatedAt": "2026-05-03T00:00:00Z", "apps": []})");
    QVERIFY(manifest.apps.isEmpty());
    QVERIFY(manifest.announcements.isEmpty());
    QCOMPARE(manifest, SeedManifest::manifest());
}

void TestCatalog::acceptsDocument_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<CatalogEdit>("expectedEdit"); // validCatalog() -> the expected catalog

    const auto accept = [](const char* name, const char* path, const QJsonValue& value,
                           const CatalogEdit& edit) {
        QTest::newRow(name) << QString::fromLatin1(path) << value << edit;
    };
    const CatalogEdit unchanged = [](auto&) {
    };
    const CatalogEdit noAnnouncements = [](auto& m) {
        m.announcements.clear();
    };
    accept("announcements null", "announcements", QJsonValue(), noAnnouncements);
    accept("announcements missing", "announcements", absent, noAnnouncements);
    accept("no apps", "apps", QJsonArray{}, [](auto& m) { m.apps.clear(); });
    accept("+02:00 offset", "generatedAt", QStringLiteral("2026-05-03T02:00:00+02:00"), unchanged);
    accept("-01:30 offset", "generatedAt", QStringLiteral("2026-05-02T22:30:00-01:30"), unchanged);
    accept("note date is any text", "apps[1].releaseNotes[0].date", QStringLiteral("soon"),
           [](auto& m) { m.apps[1].releaseNotes[0].date = QStringLiteral("soon"); });
    accept("empty sha256 kept", "apps[1].sha256", QString(),
           [](auto& m) { m.apps[1].sha256 = QString(); });
    for (const char* path :
         {"unknown", "apps[1].Id", "apps[1].releaseNotes[0].x", "announcements[0].x"})
        accept(path, path, 42, unchanged);

    // Optional values given as null or left out.
    const auto app = [](auto field) {
        return CatalogEdit([=](LauncherManifest& m) { (m.apps[1].*field).reset(); });
    };
    const auto announcement = [](auto field) {
        return CatalogEdit([=](LauncherManifest& m) { (m.announcements[0].*field).reset(); });
    };
    const QList<std::pair<const char*, CatalogEdit>> optionals{
        {"apps[1].downloadUrl", app(&AppManifestItem::downloadUrl)},
        {"apps[1].sha256", app(&AppManifestItem::sha256)},
        {"apps[1].sparkleFeedUrl", app(&AppManifestItem::sparkleFeedUrl)},
        {"apps[1].iconUrl", app(&AppManifestItem::iconUrl)},
        {"announcements[0].version", announcement(&LauncherAnnouncement::version)},
        {"announcements[0].publishedAt", announcement(&LauncherAnnouncement::publishedAt)}};
    for (const auto& [path, edit] : optionals) {
        QTest::addRow("%s null", path) << QString::fromLatin1(path) << QJsonValue() << edit;
        QTest::addRow("%s missing", path) << QString::fromLatin1(path) << absent << edit;
    }
}

void TestCatalog::acceptsDocument() {
    QFETCH(QString, path);
    QFETCH(QJsonValue, value);
    QFETCH(CatalogEdit, expectedEdit);

    LauncherManifest expected = validCatalog();
    expectedEdit(expected);
    QCOMPARE(decode(withValueAt(validCatalogDocument(), path, value)), expected);
}

void TestCatalog::rejectsDocument_data() {
    QTest::addColumn<QString>("path"); // where the document is changed, and the error's key path
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<DecodingError::Kind>("expectedKind");
    QTest::addColumn<QString>("expectedMessage");

    using Kind = DecodingError::Kind;
    const auto latin1 = [](const char* text) {
        return QString::fromLatin1(text);
    };
    const auto reject = [](const QString& path, const QJsonValue& value, Kind kind,
                           const QString& message) {
        const QString shown = value.isString() ? value.toString() : QString();
        QTest::addRow("%s %s: %s", qPrintable(path), qPrintable(shown), qPrintable(message))
            << path << value << kind << message;
    };

    // Every required key: missing, null, and of the wrong type.
    QStringList required{latin1("generatedAt"), latin1("apps")};
    for (const char* key : {"id", "appId", "appName", "kind", "title", "body"})
        required.append(latin1("announcements[0].") + latin1(key));
    for (const char* key : {"version", "date", "text"})
        required.append(latin1("apps[1].releaseNotes[0].") + latin1(key));
    for (const char* key :
         {"id", "name", "tagline", "category", "bundleId", "version", "minMacOS", "status",
          "symbolName", "accent", "tags", "description", "privacyNote", "releaseNotes"})
        required.append(latin1("apps[1].") + latin1(key));
    for (const QString& path : required) {
        const bool isArray = path == latin1("apps") || path.endsWith(latin1("tags")) ||
                             path.endsWith(latin1("releaseNotes"));
        reject(path, QJsonValue(QJsonValue::Undefined), Kind::keyNotFound, latin1("missing key"));
        reject(path, QJsonValue(), Kind::valueNotFound, latin1("null value for required key"));
        if (isArray)
            reject(path, latin1("[]"), Kind::typeMismatch,
                   latin1("expected an array, found a string"));
        else
            reject(path, 7, Kind::typeMismatch, latin1("expected a string, found a number"));
    }
    for (const char* path :
         {"apps[1].downloadUrl", "apps[1].sha256", "apps[1].sparkleFeedUrl", "apps[1].iconUrl",
          "announcements[0].version", "announcements[0].publishedAt"})
        reject(latin1(path), true, Kind::typeMismatch,
               latin1("expected a string, found a boolean"));

    // Raw values, date-times and URLs that do not parse.
    for (const char* raw : {"Live", "comingsoon", "BETA", " live"})
        reject(latin1("apps[1].status"), latin1(raw), Kind::dataCorrupted,
               latin1("invalid raw value \"%1\"").arg(latin1(raw)));
    for (const char* raw : {"red", "Lime"})
        reject(latin1("apps[1].accent"), latin1(raw), Kind::dataCorrupted,
               latin1("invalid raw value \"%1\"").arg(latin1(raw)));
    for (const char* date : {"2026-05-03T00:00:00.000Z", "2026-05-03T00:00:00",
                             "2026-05-03t00:00:00Z", "2026-02-29T00:00:00Z"}) {
        for (const char* path : {"generatedAt", "announcements[0].publishedAt"})
            reject(latin1(path), latin1(date), Kind::dataCorrupted,
                   latin1("invalid date-time \"%1\"").arg(latin1(date)));
    }
    for (const char* url : {"", "/downloads/timer.zip", "https://exa mple.com/"}) {
        for (const char* key : {"apps[1].downloadUrl", "apps[1].sparkleFeedUrl", "apps[1].iconUrl"})
            reject(latin1(key), latin1(url), Kind::dataCorrupted,
                   latin1("invalid URL \"%1\"").arg(latin1(url)));
    }

    // Elements of the wrong type.
    reject(latin1("apps[1]"), latin1("timer"), Kind::typeMismatch,
           latin1("expected an object, found a string"));
    reject(latin1("apps[1].tags[1]"), 1, Kind::typeMismatch,
           latin1("expected a string, found a number"));
    reject(latin1("apps[1].releaseNotes[0]"), QJsonValue(), Kind::typeMismatch,
           latin1("expected an object, found null"));
    reject(latin1("announcements"), QJsonObject{}, Kind::typeMismatch,
           latin1("expected an array, found an object"));
    reject(latin1("announcements[0]"), 3, Kind::typeMismatch,
           latin1("expected an object, found a number"));
}

void TestCatalog::rejectsDocument() {
    QFETCH(QString, path);
    QFETCH(QJsonValue, value);
    QFETCH(DecodingError::Kind, expectedKind);
    QFETCH(QString, expectedMessage);

    const QJsonObject document = withValueAt(validCatalogDocument(), path, value);
    const std::optional<DecodingError> error = decodingErrorOf([&] { decode(document); });
    QVERIFY2(error, "the document was accepted");
    QCOMPARE(error->keyPath(), path);
    QCOMPARE(error->kind(), expectedKind);
    QCOMPARE(error->description(), path + QStringLiteral(": ") + expectedMessage);
}

void TestCatalog::rejectsMalformedBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expectedMessage");

    QTest::newRow("empty") << QByteArray() << QStringLiteral("invalid JSON: ");
    QTest::newRow("truncated") << QByteArray(R"({"generatedAt": "2026-05-03T00:00:00Z", "apps": [)")
                               << QStringLiteral("invalid JSON: ");
    QTest::newRow("trailing comma")
        << QByteArray(R"({"apps": [],})") << QStringLiteral("invalid JSON: ");
    QTest::newRow("array") << QByteArray("[]")
                           << QStringLiteral("expected an object at the top level, found an array");
}

void TestCatalog::rejectsMalformedBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expectedMessage);

    const std::optional<DecodingError> error =
        decodingErrorOf([&] { decodeLauncherManifest(bytes); });
    QVERIFY2(error, "the document was accepted");
    QCOMPARE(error->keyPath(), QString());
    QVERIFY2(error->description().startsWith(expectedMessage), qPrintable(error->description()));
    if (expectedMessage.startsWith(QStringLiteral("invalid JSON")))
        QVERIFY2(error->description().contains(QStringLiteral(" at offset ")),
                 qPrintable(error->description()));
}
