#include "catalog/app_accent.h"
#include "catalog/app_release_status.h"
#include "catalog/seed_manifest.h"
#include "catalog_documents.h"
#include "text/nimbara_copy.h"
#include "tst_catalog.h"

#include <QTest>

using namespace nimbara;
using namespace nimbara::test;

void TestCatalog::equalityAndHashCoverEveryField_data() {
    QTest::addColumn<CatalogEdit>("edit");

    // validCatalog(): apps[1] and announcements[0] carry every optional value, apps[0] none.
    const auto row = [](const char* field, CatalogEdit edit) {
        QTest::newRow(field) << edit;
    };
    const QString other = QStringLiteral("other");
    const QUrl url(QStringLiteral("https://example.org/other"));
    using App = AppManifestItem;
    for (auto [name, field] : {std::pair{"id", &App::id},
                               {"name", &App::name},
                               {"tagline", &App::tagline},
                               {"category", &App::category},
                               {"bundleId", &App::bundleId},
                               {"version", &App::version},
                               {"minMacOS", &App::minMacOS},
                               {"symbolName", &App::symbolName},
                               {"description", &App::description},
                               {"privacyNote", &App::privacyNote}})
        row(name, [=](auto& m) { m.apps[1].*field = other; });
    using Note = ReleaseNote;
    for (auto [name, field] : {std::pair{"note version", &Note::version},
                               {"note date", &Note::date},
                               {"note text", &Note::text}})
        row(name, [=](auto& m) { m.apps[1].releaseNotes[0].*field = other; });
    using Announcement = LauncherAnnouncement;
    for (auto [name, field] : {std::pair{"announcement id", &Announcement::id},
                               {"appId", &Announcement::appId},
                               {"appName", &Announcement::appName},
                               {"kind", &Announcement::kind},
                               {"title", &Announcement::title},
                               {"body", &Announcement::body}})
        row(name, [=](auto& m) { m.announcements[0].*field = other; });
    row("generatedAt", [](auto& m) { m.generatedAt = m.generatedAt.addSecs(1); });
    row("apps", [](auto& m) { m.apps.removeLast(); });
    row("announcements", [](auto& m) { m.announcements.clear(); });
    row("status", [](auto& m) { m.apps[1].status = AppReleaseStatus::retired; });
    row("accent", [](auto& m) { m.apps[1].accent = AppAccent::cyan; });
    row("downloadUrl", [=](auto& m) { m.apps[1].downloadUrl = url; });
    row("downloadUrl absent", [](auto& m) { m.apps[1].downloadUrl.reset(); });
    row("sha256", [=](auto& m) { m.apps[1].sha256 = other; });
    row("sha256 empty, not absent", [](auto& m) { m.apps[0].sha256 = QString(); });
    row("sparkleFeedUrl", [=](auto& m) { m.apps[1].sparkleFeedUrl = url; });
    row("iconUrl", [=](auto& m) { m.apps[0].iconUrl = url; });
    row("tags", [=](auto& m) { m.apps[1].tags.append(other); });
    row("releaseNotes", [](auto& m) { m.apps[1].releaseNotes.clear(); });
    row("announcement version", [](auto& m) { m.announcements[0].version.reset(); });
    row("publishedAt", [](auto& m) {
        m.announcements[0].publishedAt = m.announcements[0].publishedAt->addSecs(-1);
    });
}

void TestCatalog::equalityAndHashCoverEveryField() {
    QFETCH(CatalogEdit, edit);

    const LauncherManifest original = validCatalog();
    LauncherManifest copy = original;
    QCOMPARE(copy, original);
    QCOMPARE(qHash(copy, 7), qHash(original, 7));

    edit(copy);
    QVERIFY(copy != original);
    QVERIFY(qHash(copy, 7) != qHash(original, 7));
}

void TestCatalog::enumerationsMatchRawValuesExactly() {
    QStringList statuses;
    for (AppReleaseStatus status : AppReleaseStatuses::allCases()) {
        statuses.append(AppReleaseStatuses::rawValue(status));
        QCOMPARE(AppReleaseStatuses::fromRaw(statuses.last()), status);
    }
    QCOMPARE(statuses, QStringList({QStringLiteral("beta"), QStringLiteral("live"),
                                    QStringLiteral("comingSoon"), QStringLiteral("retired")}));
    QStringList accents;
    for (AppAccent accent : AppAccents::allCases()) {
        accents.append(AppAccents::rawValue(accent));
        QCOMPARE(AppAccents::fromRaw(accents.last()), accent);
    }
    QCOMPARE(accents,
             QStringList({QStringLiteral("lime"), QStringLiteral("violet"), QStringLiteral("amber"),
                          QStringLiteral("blue"), QStringLiteral("cyan")}));
    for (const char* raw : {"Live", "LIVE", " live", "live ", "comingsoon", "coming_soon", ""})
        QCOMPARE(AppReleaseStatuses::fromRaw(QString::fromLatin1(raw)), std::nullopt);
    for (const char* raw : {"red", "Lime", "lime ", ""})
        QCOMPARE(AppAccents::fromRaw(QString::fromLatin1(raw)), std::nullopt);
}

void TestCatalog::statusLabels_data() {
    QTest::addColumn<AppReleaseStatus>("status");
    QTest::addColumn<NimbaraLocale>("locale");
    QTest::addColumn<CopyKey>("key");
    QTest::addColumn<QString>("english");

    const QList<std::tuple<AppReleaseStatus, CopyKey, QString>> statuses{
        {AppReleaseStatus::beta, CopyKey::statusBeta, QStringLiteral("Available")},
        {AppReleaseStatus::live, CopyKey::statusLive, QStringLiteral("Live")},
        {AppReleaseStatus::comingSoon, CopyKey::statusComingSoon, QStringLiteral("Coming soon")},
        {AppReleaseStatus::retired, CopyKey::statusRetired, QStringLiteral("Retired")},
    };
    for (const auto& [status, key, english] : statuses) {
        for (NimbaraLocale locale : NimbaraLocales::allCases())
            QTest::addRow("%s %s", AppReleaseStatuses::rawValue(status).data(),
                          NimbaraLocales::rawValue(locale).data())
                << status << locale << key << english;
    }
}

void TestCatalog::statusLabels() {
    QFETCH(AppReleaseStatus, status);
    QFETCH(NimbaraLocale, locale);
    QFETCH(CopyKey, key);
    QFETCH(QString, english);

    const QString label = AppReleaseStatuses::label(status, locale);
    QVERIFY(!label.isEmpty());
    QVERIFY(label != CopyKeys::rawValue(key)); // the table has a text, not just the key
    QCOMPARE(label, NimbaraCopy::text(key, locale));
    if (locale == NimbaraLocale::en)
        QCOMPARE(label, english);
}

void TestCatalog::seedIsBuiltOnce() {
    const LauncherManifest& seed = SeedManifest::manifest();
    QCOMPARE(&SeedManifest::manifest(), &seed);
    QCOMPARE(seed.generatedAt.toSecsSinceEpoch(), 1777766400);
    QVERIFY(seed.apps.isEmpty());
    QVERIFY(seed.announcements.isEmpty());
}
