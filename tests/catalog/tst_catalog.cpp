#include "catalog/manifest_coding.h"
#include "core/decoding_error.h"
#include "core/json_coding.h"
#include "core/json_reader.h"
#include "support/temp_home.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTest>
#include <QTimeZone>
#include <functional>

using namespace nimbara;
using namespace Qt::StringLiterals;
using Kind = DecodingError::Kind;
using CatalogEdit = std::function<void(LauncherManifest&)>;

Q_DECLARE_METATYPE(CatalogEdit)
Q_DECLARE_METATYPE(nimbara::DecodingError::Kind)

namespace {

// A valid catalog document: apps[0] has only its required keys, apps[1] and announcements[0]
// have every key.
QJsonObject validDocument() {
    return QJsonDocument::fromJson(
               R"({"generatedAt": "2026-05-03T00:00:00Z", "apps": [{"id": "notes", )"
               R"("name": "Notes", "tagline": "Plain notes", "category": "Writing", )"
               R"("bundleId": "com.nimbara.notes", "version": "1.0.0", "minMacOS": "13", )"
               R"("status": "comingSoon", "symbolName": "note.text", "accent": "lime", )"
               R"("tags": [], "description": "Notes, plainly.", "privacyNote": "Nothing leaves.", )"
               R"("releaseNotes": [] }, {"id": "timer", "name": "Notes", )"
               R"("tagline": "Plain notes", "category": "Writing", )"
               R"("bundleId": "com.nimbara.notes", "version": "1.0.0", "minMacOS": "13", )"
               R"("status": "live", "downloadUrl": "https://example.com/timer-2.1.zip", )"
               R"("sha256": "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", )"
               R"("sparkleFeedUrl": "https://example.com/appcast.xml", "symbolName": "note.text", )"
               R"("iconUrl": "https://example.com/timer.png", "accent": "violet", )"
               R"("tags": ["focus", "time"], "description": "Notes, plainly.", )"
               R"("privacyNote": "Nothing leaves.", "releaseNotes": [{"version": "2.1", )"
               R"("date": "2026-04-30", "text": "Faster start"}]}], )"
               R"("announcements": [{"id": "timer-launch", "appId": "timer", "appName": "Timer", )"
               R"("kind": "newApp", "title": "Timer is here", "body": "Try it", "version": "2.1", )"
               R"("publishedAt": "2026-05-01T09:30:00Z"}]})")
        .object();
}

QJsonValue replaced(const QJsonValue& node, QStringList tokens, const QJsonValue& value) {
    const QString token = tokens.takeFirst();
    const bool remove = tokens.isEmpty() && value.isUndefined();
    if (node.isArray()) {
        QJsonArray array = node.toArray();
        const qsizetype index = token.toInt();
        remove
            ? array.removeAt(index)
            : void(array[index] = tokens.isEmpty() ? value : replaced(array[index], tokens, value));
        return array;
    }
    QJsonObject object = node.toObject();
    remove
        ? void(object.remove(token))
        : void(object[token] = tokens.isEmpty() ? value : replaced(object[token], tokens, value));
    return object;
}

// The valid document with the value at `path` ("apps[1].tags[0]") replaced by `value`, or
// removed when `value` is undefined.
QJsonObject validDocumentWith(const QString& path, const QJsonValue& value) {
    static const QRegularExpression separators(u"[.\\[\\]]+"_s);
    return replaced(validDocument(), path.split(separators, Qt::SkipEmptyParts), value).toObject();
}

template <typename Action> std::optional<DecodingError> decodingErrorOf(Action&& action) {
    try {
        action();
    } catch (const DecodingError& error) {
        return error;
    }
    return std::nullopt;
}

LauncherManifest decode(const QJsonObject& document) {
    return decodeLauncherManifest(QJsonDocument(document).toJson());
}

const QJsonValue absent(QJsonValue::Undefined);

} // namespace

class TestCatalog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void acceptsDocument_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<CatalogEdit>("expectedEdit"); // the valid catalog -> the expected one

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
        accept("+02:00 offset", "generatedAt", u"2026-05-03T02:00:00+02:00"_s, unchanged);
        accept("note date is any text", "apps[1].releaseNotes[0].date", u"soon"_s,
               [](auto& m) { m.apps[1].releaseNotes[0].date = u"soon"_s; });
        accept("empty sha256 kept", "apps[1].sha256", QString(),
               [](auto& m) { m.apps[1].sha256 = QString(); });
        accept("unknown key", "unknown", 42, unchanged);
        accept("unknown nested key", "apps[1].releaseNotes[0].x", 42, unchanged);

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

    void acceptsDocument() {
        QFETCH(QString, path);
        QFETCH(QJsonValue, value);
        QFETCH(CatalogEdit, expectedEdit);
        LauncherManifest expected = decode(validDocument());
        expectedEdit(expected);
        QCOMPARE(decode(validDocumentWith(path, value)), expected);
    }

    void rejectsDocument_data() {
        QTest::addColumn<QString>("path"); // where the document is changed: the error's key path
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<Kind>("expectedKind");
        QTest::addColumn<QString>("expectedMessage");

        const auto reject = [](const QString& path, const QJsonValue& value, Kind kind,
                               const QString& message) {
            QTest::addRow("%s %s: %s", qPrintable(path), qPrintable(value.toString()),
                          qPrintable(message))
                << path << value << kind << message;
        };
        // Every required key: missing, null, and of the wrong type.
        QStringList required{u"generatedAt"_s, u"apps"_s};
        for (const char* key : {"id", "appId", "appName", "kind", "title", "body"})
            required.append(u"announcements[0]."_s + QLatin1StringView(key));
        for (const char* key : {"version", "date", "text"})
            required.append(u"apps[1].releaseNotes[0]."_s + QLatin1StringView(key));
        for (const char* key :
             {"id", "name", "tagline", "category", "bundleId", "version", "minMacOS", "status",
              "symbolName", "accent", "tags", "description", "privacyNote", "releaseNotes"})
            required.append(u"apps[1]."_s + QLatin1StringView(key));
        for (const QString& path : required) {
            reject(path, absent, Kind::keyNotFound, u"missing key"_s);
            reject(path, QJsonValue(), Kind::valueNotFound, u"null value for required key"_s);
            if (path == u"apps"_s || path.endsWith(u"tags"_s) || path.endsWith(u"releaseNotes"_s))
                reject(path, u"[]"_s, Kind::typeMismatch, u"expected an array, found a string"_s);
            else
                reject(path, 7, Kind::typeMismatch, u"expected a string, found a number"_s);
        }
        for (const char* path :
             {"apps[1].downloadUrl", "apps[1].sha256", "apps[1].sparkleFeedUrl", "apps[1].iconUrl",
              "announcements[0].version", "announcements[0].publishedAt"})
            reject(QString::fromLatin1(path), true, Kind::typeMismatch,
                   u"expected a string, found a boolean"_s);

        // Raw values, date-times and URLs that do not parse.
        for (const QString& raw : {u"Live"_s, u" live"_s, u"comingsoon"_s})
            reject(u"apps[1].status"_s, raw, Kind::dataCorrupted,
                   u"invalid raw value \"%1\""_s.arg(raw));
        reject(u"apps[1].accent"_s, u"Lime"_s, Kind::dataCorrupted,
               u"invalid raw value \"Lime\""_s);
        for (const QString& path : {u"generatedAt"_s, u"announcements[0].publishedAt"_s}) {
            for (const QString& date : {u"2026-02-29T00:00:00Z"_s, u"0001-01-01T00:00:00+01:00"_s})
                reject(path, date, Kind::dataCorrupted, u"invalid date-time \"%1\""_s.arg(date));
        }
        for (const QString& path :
             {u"apps[1].downloadUrl"_s, u"apps[1].sparkleFeedUrl"_s, u"apps[1].iconUrl"_s}) {
            for (const QString& url : {QString(), u"/downloads/timer.zip"_s})
                reject(path, url, Kind::dataCorrupted, u"invalid URL \"%1\""_s.arg(url));
        }

        // Elements of the wrong type.
        reject(u"apps[1]"_s, u"timer"_s, Kind::typeMismatch,
               u"expected an object, found a string"_s);
        reject(u"apps[1].tags[1]"_s, 1, Kind::typeMismatch, u"expected a string, found a number"_s);
        reject(u"apps[1].releaseNotes[0]"_s, QJsonValue(), Kind::typeMismatch,
               u"expected an object, found null"_s);
        reject(u"announcements"_s, QJsonObject{}, Kind::typeMismatch,
               u"expected an array, found an object"_s);
    }

    void rejectsDocument() {
        QFETCH(QString, path);
        QFETCH(QJsonValue, value);
        QFETCH(Kind, expectedKind);
        QFETCH(QString, expectedMessage);
        const QJsonObject document = validDocumentWith(path, value);
        const std::optional<DecodingError> error = decodingErrorOf([&] { decode(document); });
        QVERIFY2(error, "the document was accepted");
        QCOMPARE(error->keyPath(), path);
        QCOMPARE(error->kind(), expectedKind);
        QCOMPARE(error->description(), path + u": "_s + expectedMessage);
    }

    void rejectsMalformedBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expectedMessage");
        QTest::newRow("empty") << QByteArray() << u"invalid JSON: "_s;
        QTest::newRow("truncated")
            << QByteArray(R"({"generatedAt": "2026-05-03T00:00:00Z", "apps": [)")
            << u"invalid JSON: "_s;
        QTest::newRow("array") << QByteArray("[]")
                               << u"expected an object at the top level, found an array"_s;
    }

    void rejectsMalformedBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expectedMessage);
        const std::optional<DecodingError> error =
            decodingErrorOf([&] { decodeLauncherManifest(bytes); });
        QVERIFY2(error, "the document was accepted");
        QCOMPARE(error->keyPath(), QString());
        QVERIFY2(error->description().startsWith(expectedMessage),
                 qPrintable(error->description()));
        QCOMPARE(error->description().contains(u" at offset "_s),
                 expectedMessage.startsWith(u"invalid JSON"_s));
    }

    // Encoding the decoded document gives the document back: no field is dropped, renamed or
    // altered on the way in, and absent optional values are left out on the way back. A richer
    // catalog survives the same round trip byte for byte.
    void roundTripsRichCatalog() {
        LauncherManifest catalog = decode(validDocument()); // apps[0] without optional values
        QCOMPARE(encodeLauncherManifest(catalog), validDocument());
        catalog.announcements.append(catalog.announcements[0]);
        catalog.announcements[1].version.reset();
        catalog.announcements[1].publishedAt.reset();
        catalog.apps[1].tagline = u"Grüße, \"quoted\" \\ and ✓\nzażółć"_s;
        catalog.apps[1].iconUrl = QUrl(u"https://example.com/ikony/żółw.png?x=1%202#v"_s);
        for (AppReleaseStatus status : AppReleaseStatuses::allCases()) {
            for (AppAccent accent : AppAccents::allCases()) {
                catalog.apps.append(catalog.apps[catalog.apps.size() % 2]);
                catalog.apps.last().status = status;
                catalog.apps.last().accent = accent;
            }
        }
        const QByteArray bytes = encodeLauncherManifestJson(catalog);
        const LauncherManifest decoded = decodeLauncherManifest(bytes);
        QCOMPARE(decoded, catalog);
        QCOMPARE(qHash(decoded), qHash(catalog));
        QCOMPARE(encodeLauncherManifestJson(decoded), bytes);
        QVERIFY2(!bytes.contains("null"), "an absent value was written as null");
        // Every status and accent, spelled as catalog servers spell them.
        for (const char* raw :
             {"beta", "live", "comingSoon", "retired", "lime", "violet", "amber", "blue", "cyan"})
            QVERIFY2(bytes.contains("\"" + QByteArray(raw) + "\""), raw);
    }

    void encoderPrettyPrintsSortedKeys() {
        const QJsonObject object{{u"zeta"_s, 1},
                                 {u"alpha"_s, QJsonObject{{u"b"_s, true}, {u"a"_s, QJsonValue()}}}};
        const QByteArray bytes = encodeNimbaraJson(object);
        QVERIFY(bytes.contains("\n    \"alpha\": {\n        \"a\": null,\n        \"b\": true\n"));
        QVERIFY(bytes.indexOf("\"alpha\"") < bytes.indexOf("\"zeta\""));
    }

    void parsesDateTimes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("seconds"); // -2: rejected
        const auto row = [](const char* text, qint64 seconds) {
            QTest::newRow(text) << QString::fromUtf8(text) << seconds;
        };
        row("2026-05-03T00:00:00Z", 1777766400);
        row("2026-05-02T20:15:00-03:45", 1777766400);
        row("2026-05-03T00:00:00-00:00", 1777766400);
        row("1969-12-31T23:59:59Z", -1);
        row("2024-02-29T23:59:59Z", 1709251199);
        row("2000-01-01T00:00:00+23:59", 946598460);
        row("0001-01-01T00:00:00Z", -62135596800);
        row("9999-12-31T23:59:59Z", 253402300799);
        row("0001-01-01T01:00:00+01:00", -62135596800);
        for (const char* text :
             {"", "2026-05-03T00:00:00.000Z", "2026-05-03T00:00:00", "2026-05-03t00:00:00Z",
              "2026-05-03T00:00:00z", "2026-05-03 00:00:00Z", "2026-5-03T00:00:00Z",
              "2026-13-01T00:00:00Z", "2026-04-31T00:00:00Z", "2023-02-29T00:00:00Z",
              "2026-05-03T24:00:00Z", "2026-05-03T00:60:00Z", "2026-05-03T00:00:60Z",
              "2026-05-03T00:00:00+24:00", "2026-05-03T00:00:00+02:60", "2026-05-03T00:00:00+0200",
              "+2026-05-03T00:00:00Z", "\uFF12026-05-03T00:00:00Z", "2026-05-03T00:00:00ZZ"})
            row(text, -2);
        // In range locally, but not in UTC.
        row("0001-01-01T00:00:00+01:00", -2);
        row("9999-12-31T23:59:59-00:01", -2);
    }

    void parsesDateTimes() {
        QFETCH(QString, text);
        QFETCH(qint64, seconds);
        const std::optional<QDateTime> instant = parseIso8601(text);
        QVERIFY2(instant.has_value() == (seconds != -2),
                 qPrintable(instant ? instant->toString(Qt::ISODate) : u"rejected"_s));
        if (instant) {
            QCOMPARE(instant->toSecsSinceEpoch(), seconds);
            QCOMPARE(instant->timeSpec(), Qt::UTC);
            // Whatever is accepted is written back in a form that reads as the same instant.
            const QString written = formatIso8601(*instant);
            QCOMPARE(parseIso8601(written), instant);
            if (text.endsWith(u'Z'))
                QCOMPARE(written, text);
        }
    }

    void formatsDateTimes() {
        const QString seed = u"2026-05-03T00:00:00Z"_s;
        QCOMPARE(formatIso8601(QDateTime(QDate(2026, 5, 3), QTime(2, 0), QTimeZone(7200))), seed);
        QCOMPARE(formatIso8601(QDateTime::fromMSecsSinceEpoch(1777766400999, Qt::UTC)), seed);
        QCOMPARE(formatIso8601(QDateTime::fromMSecsSinceEpoch(-1500, Qt::UTC)),
                 u"1969-12-31T23:59:58Z"_s);
        QCOMPARE(formatIso8601(QDateTime()), QString());
    }

    void parsesAbsoluteUrls_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        for (const char* url : {"https://example.com/a.zip", "http://127.0.0.1:3000/api?lang=pl",
                                "file:///tmp/x.zip", "mailto:team@example.com"})
            QTest::newRow(url) << QString::fromLatin1(url) << true;
        for (const char* url :
             {"", "/a.zip", "a.zip", "//example.com/a.zip", "https://exa mple.com",
              "https://example.com/%zz", "://example.com"})
            QTest::newRow(url) << QString::fromLatin1(url) << false;
    }

    void parsesAbsoluteUrls() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const std::optional<QUrl> url = parseAbsoluteUrl(text);
        QCOMPARE(url.has_value(), valid);
        if (valid)
            QCOMPARE(url->toString(QUrl::FullyEncoded), text);
    }
};

NIMBARA_TEST_MAIN(TestCatalog)

#include "tst_catalog.moc"
