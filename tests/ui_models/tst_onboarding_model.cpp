// The first-run screen's model over a store on substitutes: its list, ticks, counts and the
// continue rule, as the store's catalog, preference and starter selection change.

#include "model_store.h"
#include "support/catalog_samples.h"
#include "support/test_registry.h"
#include "ui/onboarding_view_model.h"

#include <QCoro/QCoroTask>
#include <QRegularExpression>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(QList<nimbara::AppManifestItem>)

namespace {

// The listed ids, each with "+" when ticked.
QStringList listed(OnboardingViewModel& model) {
    QStringList rows;
    AppListModel* apps = model.apps();
    for (int row = 0; row < apps->rowCount(); ++row) {
        const QModelIndex index = apps->index(row);
        rows.append(index.data(AppListModel::IdRole).toString() +
                    (index.data(AppListModel::StarterSelectedRole).toBool() ? u"+"_s : u""_s));
    }
    return rows;
}

} // namespace

class TestOnboardingModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listCountsAndContinue_data() {
        QTest::addColumn<QList<AppManifestItem>>("catalog");
        QTest::addColumn<QStringList>("toggled"); // through the screen, after the start
        QTest::addColumn<bool>("includeBeta");    // set after the screen was shown
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("canContinue");

        const AppManifestItem alpha = publishedApp(u"alpha"_s);
        const AppManifestItem beta = publishedApp(u"beta"_s);
        const AppManifestItem gamma = publishedApp(u"gamma"_s);
        const AppManifestItem soon = comingSoonApp(u"soon"_s);
        const AppManifestItem trial = publishedApp(u"trial"_s, AppReleaseStatus::beta);

        // The construction catalog's apps start ticked.
        QTest::newRow("every app ticked at the start")
            << QList{alpha, beta} << QStringList() << true << QStringList{u"alpha+"_s, u"beta+"_s}
            << 2 << true;
        QTest::newRow("some unticked")
            << QList{alpha, beta, gamma} << QStringList{u"beta"_s} << true
            << QStringList{u"alpha+"_s, u"beta"_s, u"gamma+"_s} << 2 << true;
        QTest::newRow("ticked twice is as before")
            << QList{alpha, beta} << QStringList{u"beta"_s, u"beta"_s} << true
            << QStringList{u"alpha+"_s, u"beta+"_s} << 2 << true;
        QTest::newRow("all unticked: nothing to continue with")
            << QList{alpha, beta} << QStringList{u"alpha"_s, u"beta"_s} << true
            << QStringList{u"alpha"_s, u"beta"_s} << 0 << false;
        // The coming-soon app is in the selection from the start, yet nothing is published.
        QTest::newRow("no published app: nothing to continue with")
            << QList{soon} << QStringList() << true << QStringList() << 1 << false;
        QTest::newRow("coming soon neither listed nor tickable")
            << QList{alpha, soon} << QStringList{u"soon"_s} << true << QStringList{u"alpha+"_s} << 2
            << true;
        // Whether the hidden app stays selected is the store's rule: it does.
        QTest::newRow("app hidden by the preference leaves the list")
            << QList{alpha, trial} << QStringList() << false << QStringList{u"alpha+"_s} << 2
            << true;
    }

    void listCountsAndContinue() {
        QFETCH(QList<AppManifestItem>, catalog);
        QFETCH(QStringList, toggled);
        QFETCH(bool, includeBeta);
        QFETCH(QStringList, expected);
        QFETCH(int, selected);
        QFETCH(bool, canContinue);

        ModelStore s;
        OnboardingViewModel model;
        LauncherStore& store = s.show(model, catalogWith(catalog));
        for (const QString& id : toggled) {
            if (!expected.contains(id) && !expected.contains(id + u'+')) {
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"cannot tick.*"_s + id));
            }
            model.toggle(id);
        }
        store.setIncludeBetaApps(includeBeta);

        QCOMPARE(listed(model), expected);
        QCOMPARE(model.publishedCount(), expected.size());
        QCOMPARE(model.selectedCount(), selected);
        QCOMPARE(model.canContinue(), canContinue);
    }

    // A catalog load while the screen is open changes the list and counts and keeps the ticks,
    // which live in the store.
    void catalogRefreshKeepsTicks() {
        ModelStore s;
        OnboardingViewModel model;
        LauncherStore& store =
            s.show(model, catalogWith({publishedApp(u"alpha"_s), publishedApp(u"beta"_s)}));
        model.toggle(u"alpha"_s);
        QCOMPARE(listed(model), (QStringList{u"alpha"_s, u"beta+"_s}));

        s.fakes.manifestLoader->catalog = catalogWith(
            {publishedApp(u"gamma"_s), publishedApp(u"alpha"_s), publishedApp(u"beta"_s)});
        QCoro::waitFor(store.loadManifest());
        QCOMPARE(listed(model), (QStringList{u"gamma"_s, u"alpha"_s, u"beta+"_s}));
        QCOMPARE(model.publishedCount(), 3);
        QCOMPARE(model.selectedCount(), 1);

        // The new app can be ticked like the others; an app the next catalog drops stays ticked.
        model.toggle(u"gamma"_s);
        s.fakes.manifestLoader->catalog = catalogWith({publishedApp(u"beta"_s)});
        QCoro::waitFor(store.loadManifest());
        QCOMPARE(listed(model), (QStringList{u"beta+"_s}));
        QCOMPARE(model.selectedCount(), 2);
        QVERIFY(model.canContinue());
    }
};

NIMBARA_REGISTER_TEST(TestOnboardingModel);

#include "tst_onboarding_model.moc"
