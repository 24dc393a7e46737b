// The launcher's entry point: one process per user's preferences, one store, one main window.

#include "core/logging.h"
#include "platform/log_file.h"
#include "platform/network_session.h"
#include "platform/preferences_store.h"
#include "platform/preferred_languages.h"
#include "store/launcher_store.h"
#include "text/nimbara_copy.h"
#include "ui/app_icon_cache.h"
#include "ui/application_actions.h"
#include "ui/design_palette.h"
#include "ui/launcher_bundle_wiring.h"
#include "ui/launcher_relaunch.h"
#include "ui/launcher_tray_menu.h"
#include "ui/launcher_ui.h"
#include "ui/startup_sequence.h"
#include "wiring/production_wiring.h"
#include "wiring/single_instance.h"

#include <QApplication>
#include <QPalette>
#include <QQmlApplicationEngine>
#include <QQuickStyle>
#include <QQuickWindow>

using namespace nimbara;

namespace {

// The launcher always looks dark, whatever the desktop's colour scheme.
void chooseControlsStyle() {
    if (qEnvironmentVariableIsEmpty("QT_QUICK_CONTROLS_STYLE")) {
        QQuickStyle::setStyle(QStringLiteral("Basic"));
    }
}

// The dark palette of the design's tokens, for widgets (the tray menu) and for every Qt Quick
// control that takes its colours from the palette rather than from the design's own colours.
void applyDarkPalette(QQuickWindow& window) {
    QApplication::setPalette(DesignPalette::controlPalette());
    DesignPalette::applyTo(window);
}

} // namespace

int main(int argc, char** argv) {
    // Widgets, for the tray menu.
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nimbara"));
    installMessageLog();
    QGuiApplication::setDesktopFileName(QStringLiteral("nimbara"));

    // The window and menu titles follow the system's language at launch, even when the user
    // later picks another language for the launcher's texts.
    const QString appName = NimbaraCopy::text(CopyKey::brand, systemLocale());
    QGuiApplication::setApplicationDisplayName(appName);

    // A second launch only brings the running launcher forward; it ends before anything reads
    // or writes the preferences. When the running one cannot be reached, this launch did not do
    // what was asked (no window comes forward), so it ends with a failure status for whoever
    // started it; the guard has said why on stderr.
    waitForReplacedLauncher();
    SingleInstanceGuard instance(PreferencesStore::defaultPath());
    switch (instance.claim()) {
    case SingleInstanceGuard::Role::primary:
        break;
    case SingleInstanceGuard::Role::handedOver:
        return 0;
    case SingleInstanceGuard::Role::refused:
        return 1;
    }

    chooseControlsStyle();

    // The launcher's own bundle and Info.plist, read once for the menu entry and the updater.
    const LinuxMainBundle mainBundle;
    ensureUserApplicationEntry(mainBundle);
    LauncherStore store(productionWiring(sharedNetworkAccessManager()));
    ApplicationActions actions(store);
    const std::unique_ptr<LauncherUpdater> updater =
        productionUpdater(mainBundle, sharedNetworkAccessManager(), [&actions](const QUrl& bundle) {
            relaunchLauncher(bundle, [&actions] { actions.quit(); });
        });
    QQmlApplicationEngine engine;
    installLauncherUi(engine, store, actions, appName, updater.get());
    engine.load(QUrl(QString::fromLatin1(mainWindowUrl())));
    const QList<QObject*> roots = engine.rootObjects();
    auto* window = roots.isEmpty() ? nullptr : qobject_cast<QQuickWindow*>(roots.first());
    if (!window) {
        qCCritical(logUi) << "the main window could not be loaded";
        return 1;
    }
    applyDarkPalette(*window);
    actions.setMainWindow(window);

    // The tray menu for the whole run; its update item follows whether the updater can check.
    LauncherTrayMenu tray(store, actions, AppIconCache::of(engine), appName);
    const auto followUpdater = [&] {
        tray.setCanCheckForUpdates(updater->canCheckForUpdates());
    };
    followUpdater();
    QObject::connect(updater.get(), &LauncherUpdater::canCheckForUpdatesChanged, &tray,
                     followUpdater);
    QObject::connect(&tray, &LauncherTrayMenu::updateCheckRequested, updater.get(), [&] {
        if (updater->isEnabled()) {
            actions.activateMainWindow();
            updater->checkForUpdates();
        }
    });
    tray.showInTray();

    const StartupOptions options = StartupOptions::fromEnvironment();
    if (!options.screenshotScene) {
        qCCritical(logUi) << "NIMBARA_SCREENSHOT_SCENE names no screen of the launcher";
        return 1;
    }
    StartupSequence startup(store, *window, options);
    startup.setScreenshotStage(
        screenshotStage(*options.screenshotScene, *window, store, actions, tray));
    QObject::connect(&instance, &SingleInstanceGuard::activationRequested, &actions, [&] {
        startup.noteRaiseRequest();
        actions.activateMainWindow();
    });

    return application.exec();
}
