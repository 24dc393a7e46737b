#include "catalog/manifest_policy.h"
#include "support/catalog_samples.h"
#include "support/temp_home.h"

#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;
using K = CatalogLifecycleKind;

Q_DECLARE_METATYPE(nimbara::AppManifestItem)
Q_DECLARE_METATYPE(nimbara::CatalogLifecycleKind)

namespace {

template <typename Item> QStringList ids(const QList<Item>& items) {
    QStringList result;
    for (const Item& item : items)
        result << item.id;
    return result;
}

} // namespace

class TestPolicy : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void publishedRelease_data() {
        QTest::addColumn<AppManifestItem>("app");
        QTest::addColumn<bool>("published");
        const auto row = [](const char* name, bool published, auto change) {
            AppManifestItem app = publishedApp(u"notes"_s);
            change(app);
            QTest::newRow(name) << app << published;
        };
        row("complete live", true, [](auto&) {});
        row("complete beta", true, [](auto& a) { a.status = AppReleaseStatus::beta; });
        row("coming soon with download", false,
            [](auto& a) { a.status = AppReleaseStatus::comingSoon; });
        row("retired", false, [](auto& a) { a.status = AppReleaseStatus::retired; });
        row("no download", false, [](auto& a) { a.downloadUrl.reset(); });
        row("no digest", false, [](auto& a) { a.sha256.reset(); });
        row("63 digits", false, [](auto& a) { a.sha256 = QString(63, u'a'); });
        row("65 digits", false, [](auto& a) { a.sha256 = QString(65, u'a'); });
        row("letter g", false, [](auto& a) { a.sha256 = QString(63, u'a') + u'g'; });
        row("non-ascii digit", false,
            [](auto& a) { a.sha256 = QString(63, u'a') + QChar(0x0663); });
        row("mixed case hex", true,
            [](auto& a) { a.sha256 = QString(32, u'F') + QString(32, u'0'); });
        row("blank version", false, [](auto& a) { a.version = u" \n\t"_s; });
        row("bad minimum system", false, [](auto& a) { a.minMacOS = u"14.x"_s; });
        row("http download is fine here", true,
            [](auto& a) { a.downloadUrl = QUrl(u"http://x.test/a.zip"_s); });
    }

    void publishedRelease() {
        QFETCH(AppManifestItem, app);
        QFETCH(bool, published);
        QCOMPARE(ManifestPolicy::hasPublishedRelease(app), published);
    }

    void minimumSystemVersion_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<qint64>>("expected"); // empty: not a version
        const auto row = [](const char* text, QList<qint64> expected) {
            QTest::newRow(text) << QString::fromLatin1(text) << expected;
        };
        row("14", {14, 0, 0});
        row("14.2.1", {14, 2, 1});
        row("  14 \n", {14, 0, 0});
        row(".14..1.", {14, 1, 0});
        row("+14.-1", {14, -1, 0});
        for (const char* text :
             {"14.x", "14.0.0.1", "", ".", "14. 1", "14.+", "99999999999999999999"})
            row(text, {});
    }

    void minimumSystemVersion() {
        QFETCH(QString, text);
        QFETCH(QList<qint64>, expected);
        const std::optional<OperatingSystemVersion> version = ManifestPolicy::macOSVersion(text);
        QCOMPARE(version.has_value(), !expected.isEmpty());
        if (version)
            QCOMPARE((QList<qint64>{version->major, version->minor, version->patch}), expected);
    }

    void visibility() {
        const LauncherManifest catalog = catalogWith(
            {publishedApp(u"live"_s), publishedApp(u"beta"_s, AppReleaseStatus::beta),
             comingSoonApp(u"soon"_s), publishedApp(u"old"_s, AppReleaseStatus::retired),
             comingSoonApp(u"later"_s)});
        QCOMPARE(ids(ManifestPolicy::visibleApps(catalog, true)),
                 (QStringList{u"live"_s, u"beta"_s, u"soon"_s, u"later"_s}));
        QCOMPARE(ids(ManifestPolicy::visibleApps(catalog, false)),
                 (QStringList{u"live"_s, u"soon"_s, u"later"_s}));
        QCOMPARE(ids(ManifestPolicy::publishedApps(catalog, true)),
                 (QStringList{u"live"_s, u"beta"_s}));
        QCOMPARE(ids(ManifestPolicy::publishedApps(catalog, false)), QStringList{u"live"_s});
        // Previews are listed whatever the flag.
        QCOMPARE(ids(ManifestPolicy::comingSoonApps(catalog)),
                 (QStringList{u"soon"_s, u"later"_s}));
    }

    void lifecycle_data() {
        QTest::addColumn<QList<AppManifestItem>>("apps");
        QTest::addColumn<bool>("includeBeta");
        QTest::addColumn<K>("kind");
        QTest::addColumn<QStringList>("published");
        QTest::addColumn<QStringList>("comingSoon");
        const auto beta = publishedApp(u"b"_s, AppReleaseStatus::beta);
        auto betaWithoutDownload = beta;
        betaWithoutDownload.downloadUrl.reset();
        const auto soon = [](const char* id) {
            return comingSoonApp(QString::fromLatin1(id));
        };
        const auto live = [](const char* id) {
            return publishedApp(QString::fromLatin1(id));
        };
        QTest::newRow("no apps") << QList<AppManifestItem>{} << true << K::empty << QStringList{}
                                 << QStringList{};
        QTest::newRow("only retired") << QList{publishedApp(u"r"_s, AppReleaseStatus::retired)}
                                      << true << K::empty << QStringList{} << QStringList{};
        QTest::newRow("beta shown")
            << QList{beta} << true << K::firstPublishedApp << QStringList{u"b"_s} << QStringList{};
        QTest::newRow("previews only") << QList{soon("s"), soon("t")} << true << K::comingSoonOnly
                                       << QStringList{} << QStringList{u"s"_s, u"t"_s};
        QTest::newRow("beta without download")
            << QList{betaWithoutDownload} << true << K::comingSoonOnly << QStringList{}
            << QStringList{};
        QTest::newRow("two published, three previews")
            << QList{soon("s1"), live("a"), soon("s2"), live("b"), soon("s3")} << true
            << K::multiAppCatalog << QStringList{u"a"_s, u"b"_s}
            << QStringList{u"s1"_s, u"s2"_s, u"s3"_s};
        QTest::newRow("beta flag changes count")
            << QList{live("a"), beta} << false << K::firstPublishedApp << QStringList{u"a"_s}
            << QStringList{};
    }

    void lifecycle() {
        QFETCH(QList<AppManifestItem>, apps);
        QFETCH(bool, includeBeta);
        QFETCH(K, kind);
        QFETCH(QStringList, published);
        QFETCH(QStringList, comingSoon);
        const CatalogLifecycle lifecycle =
            ManifestPolicy::catalogLifecycle(catalogWith(apps), includeBeta);
        QCOMPARE(lifecycle.kind, kind);
        QCOMPARE(ids(lifecycle.publishedApps), published);
        QCOMPARE(ids(lifecycle.comingSoonApps), comingSoon);
        // The first published app is featured, and the lists agree with the list queries.
        QCOMPARE(lifecycle.featuredApp, published.isEmpty()
                                            ? std::nullopt
                                            : std::optional(lifecycle.publishedApps.first()));
        QCOMPARE(lifecycle.publishedApps,
                 ManifestPolicy::publishedApps(catalogWith(apps), includeBeta));
    }

    void unseenAnnouncements() {
        LauncherManifest catalog = catalogWith({});
        for (const QString& id : {u"a1"_s, u"A2"_s, u"a3"_s}) {
            LauncherAnnouncement announcement;
            announcement.id = id;
            catalog.announcements.append(announcement);
        }
        const auto unseen = [&](const QSet<QString>& seen) {
            return ids(ManifestPolicy::unseenAnnouncements(catalog, seen));
        };
        QCOMPARE(unseen({}), (QStringList{u"a1"_s, u"A2"_s, u"a3"_s}));
        QCOMPARE(unseen({u"a2"_s, u"a3"_s}), (QStringList{u"a1"_s, u"A2"_s})); // exact comparison
        QCOMPARE(unseen({u"a1"_s, u"A2"_s, u"a3"_s, u"other"_s}), QStringList{});
    }
};

NIMBARA_TEST_MAIN(TestPolicy)
#include "tst_policy.moc"
