// The settings window with the preferences screen, opened from the real main window over a
// store on substitutes: opening and closing, the keyboard, the language, resetting onboarding
// and the uninstall-everything confirmation.

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

namespace {

// The settings window of a launcher, opened through the application's actions.
struct Settings {
    const QmlLauncher& launcher;
    QQuickWindow* window = nullptr;

    explicit Settings(const QmlLauncher& owner) : launcher(owner) { show(); }

    void show() {
        launcher.actions->showSettingsWindow();
        window = launcher.actions->settingsWindow();
        settle();
    }
    bool activate() const {
        window->requestActivate();
        return QTest::qWaitForWindowActive(window);
    }
    QQuickItem* item(const QString& objectName) const {
        return QmlLauncher::findItem(window->contentItem(), objectName);
    }
    QObject* object(const QString& objectName) const {
        return window->findChild<QObject*>(objectName);
    }
    QString focused() const {
        return window->activeFocusItem() ? window->activeFocusItem()->objectName() : QString();
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) const {
        QTest::keyClick(window, key, modifiers);
        settle();
    }
    // Lets bindings run and lays both windows out.
    void settle() const {
        launcher.settle();
        window->grabWindow();
        launcher.settle();
    }
};

QString text(CopyKey key, NimbaraLocale locale = NimbaraLocale::en, const CopyValues& values = {}) {
    return NimbaraCopy::text(key, locale, values);
}

} // namespace

class TestPreferencesQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
    // The sidebar's settings row opens the window; closing only hides it, and the next request
    // shows the same window again.
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
        launcher.click(launcher.item(u"sidebarRow4"_s));
        QQuickWindow* window = launcher.actions->settingsWindow();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->width(), 640);
        QCOMPARE(window->title(), text(CopyKey::sidebarPreferences));
        QCOMPARE(window->color(), launcher.window->color());

        Settings settings(launcher);
        QVERIFY(settings.activate());
        settings.key(Qt::Key(closeKey), Qt::KeyboardModifiers(modifiers));
        QVERIFY(!window->isVisible());
        settings.show();
        QCOMPARE(settings.window, window);
        QVERIFY(window->isVisible());
    }

    // Tab walks the page's controls in reading order, and Space flips the focused switch.
    void keyboardReachesEveryControl() {
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s)}));
        QVERIFY(launcher.shown());
        Settings settings(launcher);
        QVERIFY(settings.activate());
        // The window is short: the page scrolls to keep the focused control in sight.
        settings.window->resize(640, 320);
        settings.item(u"launchAtLoginSwitch"_s)->forceActiveFocus(Qt::TabFocusReason);
        settings.settle();
        QQuickItem* page = settings.item(u"preferencesPage"_s);
        QCOMPARE(page->property("contentY").toReal(), 0.0);
        QStringList order{settings.focused()};
        for (int step = 0; step < 5; ++step) {
            settings.key(Qt::Key_Tab);
            order.append(settings.focused());
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

    // A refused change leaves the switch at the manager's wish and shows why.
    void refusedLaunchAtLoginShowsReason() {
        QmlLauncher launcher(catalogWith({}));
        QVERIFY(launcher.shown());
        Settings settings(launcher);
        QQuickItem* note = settings.item(u"launchAtLoginErrorNote"_s);
        QVERIFY(note && !note->isVisible());
        launcher.store->setLaunchAtLoginState(LoginItemState::failed(u"no session"_s));
        settings.settle();
        QVERIFY(note->isVisible());
        QCOMPARE(settings.item(u"launchAtLoginErrorNoteText"_s)->property("text").toString(),
                 text(CopyKey::preferencesLaunchAtLoginError, NimbaraLocale::en,
                      {{u"reason"_s, u"no session"_s}}));
        QVERIFY(!settings.item(u"launchAtLoginApprovalNote"_s)->isVisible());
        QCOMPARE(settings.item(u"shortcutKeyCapText"_s)->property("text").toString(), u"Ctrl+K"_s);
    }

    void languagePickerRedrawsBothWindows_data() {
        QTest::addColumn<int>("downPresses");
        QTest::addColumn<NimbaraLocale>("locale");
        QTest::addColumn<QString>("code");
        QTest::newRow("PL") << 1 << NimbaraLocale::pl << u"PL"_s;
        QTest::newRow("DE") << 2 << NimbaraLocale::de << u"DE"_s;
    }
    void languagePickerRedrawsBothWindows() {
        QFETCH(int, downPresses);
        QFETCH(NimbaraLocale, locale);
        QFETCH(QString, code);
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s)}));
        QVERIFY(launcher.shown());
        Settings settings(launcher);
        QVERIFY(settings.activate());
        QQuickItem* picker = settings.item(u"languagePicker"_s);
        QCOMPARE(picker->property("displayText").toString(), u"EN"_s);
        picker->forceActiveFocus(Qt::TabFocusReason);
        for (int press = 0; press < downPresses; ++press) {
            settings.key(Qt::Key_Down);
        }
        QCOMPARE(launcher.store->locale(), locale);
        QCOMPARE(picker->property("displayText").toString(), code);
        QCOMPARE(settings.item(u"preferencesHeading"_s)->property("text").toString(),
                 text(CopyKey::preferencesGeneral, locale));
        QCOMPARE(settings.window->title(), text(CopyKey::sidebarPreferences, locale));
        QCOMPARE(launcher.item(u"searchField"_s)->property("placeholderText").toString(),
                 text(CopyKey::topSearchApps, locale));
        QCOMPARE(launcher.window->title(), u"Nimbara"_s);
    }

    void uninstallConfirmation_data() {
        QTest::addColumn<bool>("deleteData");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("message");
        const CopyValues none{{u"count"_s, u"0"_s}};
        const QString plain =
            text(CopyKey::uninstallEverythingConfirmBody, NimbaraLocale::en, none);
        const QString withData =
            text(CopyKey::uninstallEverythingConfirmBodyWithData, NimbaraLocale::en, none);
        QTest::newRow("keep data, cancel") << false << false << plain;
        QTest::newRow("delete data, cancel") << true << false << withData;
        QTest::newRow("delete data, uninstall") << true << true << withData;
    }

    // With no managed app the confirmation says 0 apps; the delete-data switch picks the
    // with-data text; Escape closes only the confirmation; accepting removes the launcher.
    void uninstallConfirmation() {
        QFETCH(bool, deleteData);
        QFETCH(bool, accept);
        QFETCH(QString, message);
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s)}));
        QVERIFY(launcher.shown());
        Settings settings(launcher);
        QVERIFY(settings.activate());
        if (deleteData) {
            launcher.click(settings.item(u"deleteAppDataSwitch"_s));
        }
        launcher.click(settings.item(u"uninstallEverythingButton"_s));
        settings.settle();
        QObject* confirmation = settings.object(u"uninstallConfirmation"_s);
        QVERIFY(confirmation && confirmation->property("visible").toBool());
        QVERIFY(launcher.store->showingUninstallConfirmation());
        QCOMPARE(confirmation->property("message").toString(), message);

        if (accept) {
            launcher.click(settings.item(u"alertAcceptButton"_s));
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

    // While the apps are being removed, the uninstall button cannot be pressed again.
    void uninstallButtonOffWhileRunning() {
        const AppManifestItem alpha = publishedApp(u"alpha"_s);
        QmlLauncher launcher(catalogWith({alpha}));
        QVERIFY(launcher.shown());
        launcher.store->recordInstalledApp(
            {QUrl::fromLocalFile(launcher.fakes.bundlePath(alpha.name)), u"1.0.0"_s}, alpha);
        Settings settings(launcher);
        QQuickItem* button = settings.item(u"uninstallEverythingButton"_s);
        QList<bool> enabledDuringRemoval;
        launcher.fakes.uninstaller->onRemove = [&](const AppRemovalRequest&) {
            enabledDuringRemoval.append(button->isEnabled());
        };
        launcher.click(button);
        settings.settle();
        QCOMPARE(settings.object(u"uninstallConfirmation"_s)->property("message").toString(),
                 text(CopyKey::uninstallEverythingConfirmBody, NimbaraLocale::en,
                      {{u"count"_s, u"1"_s}}));
        launcher.click(settings.item(u"alertAcceptButton"_s));
        QCOMPARE(enabledDuringRemoval, QList<bool>{false});
        QCOMPARE(launcher.fakes.uninstaller->requests.size(), 1);
        QVERIFY(button->isEnabled());
    }

    void resetOnboarding_data() {
        QTest::addColumn<LauncherManifest>("catalog");
        QTest::addColumn<bool>("showsOnboarding");
        QTest::newRow("published app") << catalogWith({publishedApp(u"alpha"_s)}) << true;
        QTest::newRow("empty catalog") << catalogWith({}) << false;
    }
    void resetOnboarding() {
        QFETCH(LauncherManifest, catalog);
        QFETCH(bool, showsOnboarding);
        QmlLauncher launcher(catalog);
        QVERIFY(launcher.shown());
        QQuickItem* root = launcher.item(u"rootView"_s);
        QVERIFY(!root->property("showsOnboarding").toBool());
        Settings settings(launcher);
        launcher.click(settings.item(u"resetOnboardingButton"_s));
        QVERIFY(!launcher.store->onboardingComplete());
        QCOMPARE(root->property("showsOnboarding").toBool(), showsOnboarding);
    }
};

NIMBARA_REGISTER_TEST(TestPreferencesQml);

#include "tst_preferences_qml.moc"
