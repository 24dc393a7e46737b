// The first-run screen in the real main window: when it replaces the shell, ticking by keyboard,
// continuing into the shell, a long list that scrolls.

#include "qml_harness.h"
#include "store/launcher_store.h"
#include "support/catalog_samples.h"
#include "support/test_registry.h"
#include "text/nimbara_copy.h"

#include <QAccessible>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

QList<AppManifestItem> publishedApps(int count) {
    QList<AppManifestItem> apps;
    for (int index = 0; index < count; ++index) {
        apps.append(publishedApp(u"app%1"_s.arg(index, 2, 10, QChar(u'0'))));
    }
    return apps;
}

// `inner`'s rectangle in scene coordinates.
QRectF sceneRect(const QQuickItem* inner) {
    return inner->mapRectToScene(QRectF(0, 0, inner->width(), inner->height()));
}

} // namespace

class TestOnboardingQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
    void onboardingReplacesShell_data() {
        QTest::addColumn<QList<AppManifestItem>>("apps");
        QTest::addColumn<bool>("onboardingComplete");
        QTest::addColumn<bool>("onboardingShown");

        const QList<AppManifestItem> two{publishedApp(u"alpha"_s), publishedApp(u"beta"_s),
                                         comingSoonApp(u"soon"_s)};
        QTest::newRow("published apps, first run") << two << false << true;
        QTest::newRow("onboarding complete") << two << true << false;
        QTest::newRow("nothing published yet") << QList{comingSoonApp(u"soon"_s)} << false << false;
    }

    // The announcement pending in every case waits while the onboarding screen is up.
    void onboardingReplacesShell() {
        QFETCH(QList<AppManifestItem>, apps);
        QFETCH(bool, onboardingComplete);
        QFETCH(bool, onboardingShown);
        LauncherManifest catalog = catalogWith(apps);
        catalog.announcements = {announcementOf(apps.constFirst().id)};
        QmlLauncher launcher(catalog, onboardingComplete, true);
        QVERIFY(launcher.shown());
        QVERIFY(launcher.store->pendingAnnouncement());

        QCOMPARE(launcher.item(u"onboardingView"_s) != nullptr, onboardingShown);
        QCOMPARE(launcher.item(u"launcherShell"_s) != nullptr, !onboardingShown);
        QCOMPARE(launcher.item(u"announcementOverlay"_s)->property("shown").toBool(),
                 !onboardingShown);
        if (onboardingShown) { // published apps are listed and counted, coming-soon ones not
            QCOMPARE(launcher.item(u"onboardingStatus"_s)->property("text").toString(),
                     NimbaraCopy::text(CopyKey::onboardingStatus, NimbaraLocale::en,
                                       {{u"count"_s, u"2"_s}}));
            QVERIFY(launcher.item(u"starterCell_beta"_s));
            QVERIFY(!launcher.item(u"starterCell_soon"_s));
        }
    }

    // Tab reaches the grid, arrows move, Space and Return tick, Tab reaches the continue
    // button, which finishes onboarding and brings in the shell and the waiting announcement.
    void keyboardTicksAndContinues() {
        LauncherManifest catalog = catalogWith({publishedApp(u"alpha"_s), publishedApp(u"beta"_s)});
        catalog.announcements = {announcementOf(u"beta"_s)};
        QmlLauncher launcher(catalog, false, true);
        QVERIFY(launcher.shown());
        QQuickItem* continueButton = launcher.item(u"onboardingContinueButton"_s);
        QVERIFY(continueButton);
        const auto ticked = [&](const QString& id) {
            return launcher.store->selectedStarterAppIDs().contains(id);
        };

        QTest::keyClick(launcher.window, Qt::Key_Tab);
        QCOMPARE(launcher.focusedName(), u"starterCell_alpha"_s);
        QTest::keyClick(launcher.window, Qt::Key_Space);
        QVERIFY(!ticked(u"alpha"_s));
        QTest::keyClick(launcher.window, Qt::Key_Right);
        QCOMPARE(launcher.focusedName(), u"starterCell_beta"_s);
        launcher.key(Qt::Key_Return);
        QVERIFY(!ticked(u"beta"_s));
        QCOMPARE(launcher.item(u"onboardingSelectedCount"_s)->property("text").toString(),
                 NimbaraCopy::text(CopyKey::onboardingSelectedCount, NimbaraLocale::en,
                                   {{u"count"_s, u"0"_s}}));
        QVERIFY(!continueButton->isEnabled());

        // A screen reader sees a checkable cell named after its app, with its state.
        QQuickItem* beta = launcher.item(u"starterCell_beta"_s);
        QAccessibleInterface* cell = QAccessible::queryAccessibleInterface(beta);
        QVERIFY(cell);
        QCOMPARE(cell->role(), QAccessible::CheckBox);
        QCOMPARE(cell->text(QAccessible::Name), u"Beta"_s);
        QVERIFY(!cell->state().checked);
        launcher.key(Qt::Key_Space);
        QVERIFY(ticked(u"beta"_s));
        QVERIFY(cell->state().checked);
        QCOMPARE(launcher.item(u"starterMark_beta"_s)->property("isSelected").toBool(), true);

        QTest::keyClick(launcher.window, Qt::Key_Tab);
        QCOMPARE(launcher.window->activeFocusItem(), continueButton);
        launcher.key(Qt::Key_Return);
        QVERIFY(launcher.store->onboardingComplete());
        QVERIFY(launcher.item(u"launcherShell"_s));
        QVERIFY(!launcher.item(u"onboardingView"_s));
        QVERIFY(launcher.item(u"announcementOverlay"_s)->property("shown").toBool());
    }

    // More apps than fit: the grid scrolls the last one into view, the footer stays on screen.
    void longListScrolls() {
        QmlLauncher launcher(catalogWith(publishedApps(30)), false);
        QVERIFY(launcher.shown());
        launcher.window->resize(1060, 720);
        launcher.settle();
        QQuickItem* frame = launcher.item(u"onboardingGrid"_s);
        QVERIFY(frame);
        const QRectF window(0, 0, launcher.window->width(), launcher.window->height());
        QVERIFY(window.contains(sceneRect(launcher.item(u"onboardingContinueButton"_s))));
        QVERIFY(window.contains(sceneRect(launcher.item(u"onboardingSelectedCount"_s))));
        QVERIFY(!launcher.item(u"starterCell_app29"_s) ||
                !sceneRect(frame).contains(sceneRect(launcher.item(u"starterCell_app29"_s))));

        QTest::keyClick(launcher.window, Qt::Key_Tab);
        QCOMPARE(launcher.focusedName(), u"starterCell_app00"_s);
        for (int press = 0; press < 30; ++press) {
            QTest::keyClick(launcher.window, Qt::Key_Down);
            QTest::keyClick(launcher.window, Qt::Key_Right);
        }
        launcher.settle();
        QCOMPARE(launcher.focusedName(), u"starterCell_app29"_s);
        QQuickItem* last = launcher.item(u"starterCell_app29"_s);
        QVERIFY(sceneRect(frame).adjusted(0, 0, 12, 0).contains(sceneRect(last)));
        QVERIFY(window.contains(sceneRect(launcher.item(u"onboardingContinueButton"_s))));
    }
};

NIMBARA_REGISTER_TEST(TestOnboardingQml);

#include "tst_onboarding_qml.moc"
