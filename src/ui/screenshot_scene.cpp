#include "ui/screenshot_scene.h"

#include "core/logging.h"
#include "store/launcher_store.h"
#include "ui/application_actions.h"
#include "ui/launcher_tray_menu.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPixmap>
#include <QQuickItem>
#include <QQuickWindow>

namespace nimbara {

std::optional<ScreenshotScene> parseScreenshotScene(const QString& text) {
    static const std::pair<QLatin1StringView, ScreenshotScene> names[] = {
        {QLatin1StringView(""), ScreenshotScene::mainWindow},
        {QLatin1StringView("main"), ScreenshotScene::mainWindow},
        {QLatin1StringView("keyboard"), ScreenshotScene::keyboard},
        {QLatin1StringView("chosen-by-keyboard"), ScreenshotScene::chosenByKeyboard},
        {QLatin1StringView("installing"), ScreenshotScene::installing},
        {QLatin1StringView("quick-switcher"), ScreenshotScene::quickSwitcher},
        {QLatin1StringView("feedback"), ScreenshotScene::feedback},
        {QLatin1StringView("preferences"), ScreenshotScene::preferences},
        {QLatin1StringView("tray-menu"), ScreenshotScene::trayMenu},
    };
    for (const auto& [name, scene] : names) {
        if (text.trimmed() == name) {
            return scene;
        }
    }
    return std::nullopt;
}

namespace {

// Gives the library's tiles the keyboard, as Tab would, and presses `keys` on them.
void driveLibraryByKeyboard(QQuickWindow& window, const QList<Qt::Key>& keys) {
    auto* grid = window.findChild<QQuickItem*>(QStringLiteral("libraryGrid"));
    if (!grid) {
        qCWarning(logUi) << "the library's tiles could not be given the keyboard";
        return;
    }
    grid->forceActiveFocus(Qt::TabFocusReason);
    for (const Qt::Key key : keys) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &press);
        QCoreApplication::sendEvent(&window, &release);
    }
}

// Chooses the first app of the catalog that can be installed now and starts installing it.
void installFirstInstallableApp(LauncherStore& store) {
    for (const AppManifestItem& app : store.manifest().apps) {
        if (store.canInstall(app)) {
            store.setSelectedAppID(app.id);
            store.install(app);
            return;
        }
    }
    qCWarning(logUi) << "no app of the catalog can be installed for the picture";
}

} // namespace

ScreenshotStage screenshotStage(ScreenshotScene scene, QQuickWindow& mainWindow,
                                LauncherStore& store, ApplicationActions& actions,
                                LauncherTrayMenu& tray) {
    QQuickWindow* main = &mainWindow;
    const auto pictureOfMain = [main] {
        return main->grabWindow();
    };
    switch (scene) {
    case ScreenshotScene::mainWindow:
        return {{}, pictureOfMain};
    case ScreenshotScene::keyboard:
        return {[main] { driveLibraryByKeyboard(*main, {Qt::Key_Right}); }, pictureOfMain};
    case ScreenshotScene::chosenByKeyboard:
        return {[main] {
                    driveLibraryByKeyboard(*main, {Qt::Key_Right, Qt::Key_Return});
                },
                pictureOfMain};
    case ScreenshotScene::installing:
        return {[&store] { installFirstInstallableApp(store); }, pictureOfMain};
    case ScreenshotScene::quickSwitcher:
        return {[main] {
                    auto* root = main->findChild<QQuickItem*>(QStringLiteral("rootView"));
                    if (!root || !root->setProperty("showQuickSwitcher", true)) {
                        qCWarning(logUi) << "the quick switcher could not be shown";
                    }
                },
                pictureOfMain};
    case ScreenshotScene::feedback:
        return {[&store] { store.setShowingFeedbackSheet(true); }, pictureOfMain};
    case ScreenshotScene::preferences:
        return {[&actions] { actions.showSettingsWindow(); },
                [&actions] {
                    QQuickWindow* settings = actions.settingsWindow();
                    return settings ? settings->grabWindow() : QImage();
                }};
    case ScreenshotScene::trayMenu:
        // The menu is pictured as it would open, without a tray to open it from.
        return {{}, [&tray] {
                    QMenu& menu = tray.menu();
                    menu.ensurePolished();
                    menu.adjustSize();
                    return menu.grab().toImage();
                }};
    }
    return {{}, pictureOfMain};
}

} // namespace nimbara
