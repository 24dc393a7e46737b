#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <optional>

class QQuickWindow;

namespace nimbara {

class ApplicationActions;
class LauncherStore;
class LauncherTrayMenu;

// What a screenshot run (NIMBARA_SCREENSHOT) pictures once the catalog has loaded: the main
// window as it comes up, the library driven by the keyboard (the cursor moved one tile on, its
// focus ring showing; then chosen, which slides the detail panel in on a compact window), the
// first app that can be installed chosen and being installed (over a server that paces its
// downloads, the picture shows the install under way), or one of the screens put up over it.
enum class ScreenshotScene {
    mainWindow,
    keyboard,
    chosenByKeyboard,
    installing,
    quickSwitcher,
    feedback,
    preferences,
    trayMenu
};

// NIMBARA_SCREENSHOT_SCENE's values: "" or "main", "keyboard", "chosen-by-keyboard",
// "installing", "quick-switcher", "feedback", "preferences", "tray-menu"; none for anything else.
std::optional<ScreenshotScene> parseScreenshotScene(const QString& text);

// How to put a scene up and how to picture it once it has settled.
struct ScreenshotStage {
    std::function<void()> setUp;
    std::function<QImage()> picture;
};

// The stage of `scene` over the running launcher; every argument must outlive it.
ScreenshotStage screenshotStage(ScreenshotScene scene, QQuickWindow& mainWindow,
                                LauncherStore& store, ApplicationActions& actions,
                                LauncherTrayMenu& tray);

} // namespace nimbara
