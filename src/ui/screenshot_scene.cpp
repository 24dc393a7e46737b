#include "ui/screenshot_scene.h"

#include "core/logging.h"
#include "store/launcher_store.h"
#include "ui/application_actions.h"
#include "ui/launcher_tray_menu.h"

#include <QMenu>
#include <QPixmap>
#include <QQuickItem>
#include <QQuickWindow>

namespace nimbara {

std::optional<ScreenshotScene> parseScreenshotScene(const QString& text) {
    static const std::pair<QLatin1StringView, ScreenshotScene> names[] = {
        {QLatin1StringView(""), ScreenshotScene::mainWindow},
        {QLatin1StringView("main"), ScreenshotScene::mainWindow},
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
