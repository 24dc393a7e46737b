// The settings window, opened from the real main window over a store on substitutes: opening
// and closing, the keyboard, the language, resetting onboarding and uninstalling everything.

#include "qml_harness.h"
#include "store/launcher_store.h"
#include "support/catalog_samples.h"
#include "support/fake_collaborators.h"
#include "support/test_registry.h"
#include "text/nimbara_copy.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

class TestPreferencesQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
    // The sidebar's settings row opens the window and leaves the shown section alone; closing
    // only hides the window, and the next request shows the same window again.
    void opensAndCloses_data() {
        QTest::addColumn<int>("closeKey");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("Ctrl+W") << int(Qt::Key_W) << int(Qt::ControlModifier);
    }
    void opensAndCloses() {
        QFETCH(int, closeKey);
        QFETCH(int, modifiers);
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s)}));
        QVERIFY(launcher.shown());
        QVERIFY(!launcher.actions->settingsWindow());
        QQuickItem* shell = launcher.item(u"launcherShell"_s);
        launcher.click(launcher.item(u"sidebarRow1"_s)); // all apps
        QCOMPARE(shell->property("selectedSection").toInt(), 1);
        launcher.click(launcher.item(u"sidebarRow4"_s));
        QCOMPARE(shell->property("selectedSection").toInt(), 1);
        QQuickWindow* window = launcher.actions->settingsWindow();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->width(), 640);
        QCOMPARE(window->color(), launcher.window->color());

        const QmlWindow settings = launcher.settings();
        QVERIFY(settings.activate());
        settings.key(Qt::Key(closeKey), Qt::KeyboardModifiers(modifiers));
        QVERIFY(!window->isVisible());
        QCOMPARE(launcher.settings().window, window);
        QVERIFY(window->isVisible());
    }

    // Tab walks the page's controls in reading order, and Space flips the focused switch.
    void keyboardReachesEveryControl() {
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s)}));
        QVERIFY(launcher.shown());
        const QmlWindow settings = launcher.settings();
        QVERIFY(settings.activate());
        // The window is short: the page scrolls to keep the focused control in sight.
        settings.window->resize(640, 320);
        settings.item(u"launchAtLoginSwitch"_s)->forceActiveFocus(Qt::TabFocusReason);
        settings.settle();
        QQuickItem* page = settings.item(u"preferencesPage"_s);
        QCOMPARE(page->property("contentY").toReal(), 0.0);
        QStringList order{settings.focusedName()};
        for (int step = 0; step < 5; ++step) {
            settings.key(Qt::Key_Tab);
            order.append(settings.focusedName());
        }
        QCOMPARE(order, QStringList({u"launchAtLoginSwitch"_s, u"includeBetaAppsSwitch"_s,
                                     u"languagePicker"_s, u"resetOnboardingButton"_s,
                                     u"deleteAppDataSwitch"_s, u"uninstallEverythingButton"_s}));
        QQuickItem* button = settings.item(u"uninstallEverythingButton"_s);
        const qreal bottom = button->mapToItem(page, QPointF(0, button->height())).y();
        QVERIFY(page->property("contentY").toReal() > 0);
        QVERIFY2(bottom <= page->height(), qPrintable(QString::number(bottom)));

        settings.item(u"launchAtLoginSwitch"_s)->forceActiveFocus(Qt::TabFocusReason);
        settings.key(Qt::Key_Space);
        QVERIFY(launcher.store->launchAtLoginDesired());
        QCOMPARE(launcher.store->launchAtLoginState(), LoginItemState::enabled());
        QVERIFY(settings.item(u"launchAtLoginSwitch"_s)->property("checked").toBool());
        settings.key(Qt::Key_Tab);
        settings.key(Qt::Key_Space);
        QVERIFY(!launcher.store->includeBetaApps());
    }

    // Choosing PL with the keyboard redraws both windows in Polish; the main title stays.
    void languagePickerRedrawsBothWindows() {
        const NimbaraLocale pl = NimbaraLocale::pl;
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s)}));
        QVERIFY(launcher.shown());
        const QmlWindow settings = launcher.settings();
        QVERIFY(settings.activate());
        QQuickItem* picker = settings.item(u"languagePicker"_s);
        QCOMPARE(picker->property("displayText").toString(), u"EN"_s);
        picker->forceActiveFocus(Qt::TabFocusReason);
        settings.key(Qt::Key_Down);
        QCOMPARE(launcher.store->locale(), pl);
        QCOMPARE(picker->property("displayText").toString(), u"PL"_s);
        QCOMPARE(settings.item(u"preferencesHeading"_s)->property("text").toString(),
                 NimbaraCopy::text(CopyKey::preferencesGeneral, pl));
        QCOMPARE(settings.window->title(), NimbaraCopy::text(CopyKey::sidebarPreferences, pl));
        QCOMPARE(launcher.item(u"searchField"_s)->property("placeholderText").toString(),
                 NimbaraCopy::text(CopyKey::topSearchApps, pl));
        QCOMPARE(launcher.window->title(), u"Nimbara"_s);
    }

    void uninstallConfirmation_data() {
        QTest::addColumn<bool>("managed"); // one app was installed by the launcher
        QTest::addColumn<bool>("deleteData");
        QTest::addColumn<bool>("accept");
        QTest::newRow("none managed, keep data, Escape") << false << false << false;
        QTest::newRow("one managed, delete data, uninstall") << true << true << true;
        QTest::newRow("one managed, keep data, uninstall") << true << false << true;
    }

    // The confirmation counts the managed apps and the delete-data switch picks the with-data
    // text; Escape closes only the confirmation; accepting removes the apps with that choice,
    // with the button off meanwhile, then the launcher itself.
    void uninstallConfirmation() {
        QFETCH(bool, managed);
        QFETCH(bool, deleteData);
        QFETCH(bool, accept);
        const AppManifestItem alpha = publishedApp(u"alpha"_s);
        QmlLauncher launcher(catalogWith({alpha}));
        QVERIFY(launcher.shown());
        if (managed) {
            launcher.store->recordInstalledApp(
                {QUrl::fromLocalFile(launcher.fakes.bundlePath(alpha.name)), u"1.0.0"_s}, alpha);
        }
        const QmlWindow settings = launcher.settings();
        QVERIFY(settings.activate());
        if (deleteData) {
            launcher.click(settings.item(u"deleteAppDataSwitch"_s));
        }
        QQuickItem* button = settings.item(u"uninstallEverythingButton"_s);
        QList<bool> enabledDuringRemoval;
        launcher.fakes.uninstaller->onRemove = [&](const AppRemovalRequest& request) {
            enabledDuringRemoval.append(button->isEnabled());
            QCOMPARE(request.deleteData, deleteData);
        };
        launcher.click(button);
        settings.settle();
        QObject* confirmation = settings.object(u"uninstallConfirmation"_s);
        QVERIFY(confirmation && confirmation->property("visible").toBool());
        QVERIFY(launcher.store->showingUninstallConfirmation());
        QCOMPARE(confirmation->property("message").toString(),
                 english(deleteData ? CopyKey::uninstallEverythingConfirmBodyWithData
                                    : CopyKey::uninstallEverythingConfirmBody,
                         {{u"count"_s, managed ? u"1"_s : u"0"_s}}));

        if (accept) {
            launcher.click(settings.item(u"alertAcceptButton"_s));
            QCOMPARE(enabledDuringRemoval, QList<bool>{false});
            QCOMPARE(launcher.fakes.uninstaller->requests.size(), 1);
            QCOMPARE(launcher.fakes.uninstaller->selfTrashCalls.size(), 1);
            QCOMPARE(*launcher.fakes.quitCount, 1);
        } else {
            settings.key(Qt::Key_Escape);
            QCOMPARE(launcher.fakes.uninstaller->selfTrashCalls.size(), 0);
            QVERIFY(settings.window->isVisible());
        }
        QVERIFY(!confirmation->property("visible").toBool());
        QVERIFY(!launcher.store->showingUninstallConfirmation());
    }

    void resetOnboarding() {
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s)}));
        QVERIFY(launcher.shown());
        QQuickItem* root = launcher.item(u"rootView"_s);
        QVERIFY(!root->property("showsOnboarding").toBool());
        const QmlWindow settings = launcher.settings();
        launcher.click(settings.item(u"resetOnboardingButton"_s));
        QVERIFY(!launcher.store->onboardingComplete());
        QVERIFY(root->property("showsOnboarding").toBool());
    }
};

NIMBARA_REGISTER_TEST(TestPreferencesQml);

#include "tst_preferences_qml.moc"
