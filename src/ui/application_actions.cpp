#include "ui/application_actions.h"

#include "store/launcher_store.h"
#include "text/nimbara_copy.h"

#include <QCoreApplication>
#include <QQuickWindow>

namespace nimbara {

namespace {

// The settings window's width in device-independent pixels, and its first height.
constexpr int kSettingsWidth = 640;
constexpr int kSettingsHeight = 480;
// The dark background the launcher's windows share.
constexpr QRgb kWindowBackground = 0xff101114;

void bringForward(QQuickWindow& window) {
    if (window.windowStates() & Qt::WindowMinimized) {
        window.setWindowStates(window.windowStates() & ~Qt::WindowMinimized);
    }
    window.show();
    window.raise();
    window.requestActivate();
}

} // namespace

ApplicationActions::ApplicationActions(LauncherStore& store, QObject* parent)
    : QObject(parent), store_(store) {
    connect(&store_, &LauncherStore::localeChanged, this, &ApplicationActions::updateSettingsTitle);
}

ApplicationActions::~ApplicationActions() = default;

void ApplicationActions::setMainWindow(QQuickWindow* window) {
    mainWindow_ = window;
}

void ApplicationActions::quit() {
    QCoreApplication::quit();
}

void ApplicationActions::activateMainWindow() {
    if (mainWindow_) {
        bringForward(*mainWindow_);
    }
}

void ApplicationActions::showSettingsWindow() {
    if (!settingsWindow_) {
        // A placeholder until the Preferences screen exists: an empty dark window of the
        // settings window's width, titled in the store's language. It hides when closed and is
        // shown again by the next call.
        settingsWindow_ = std::make_unique<QQuickWindow>();
        settingsWindow_->setColor(QColor::fromRgb(kWindowBackground));
        settingsWindow_->resize(kSettingsWidth, kSettingsHeight);
        settingsWindow_->setMinimumWidth(kSettingsWidth);
        settingsWindow_->setMaximumWidth(kSettingsWidth);
        updateSettingsTitle();
    }
    bringForward(*settingsWindow_);
}

void ApplicationActions::updateSettingsTitle() {
    if (settingsWindow_) {
        settingsWindow_->setTitle(NimbaraCopy::text(CopyKey::sidebarPreferences, store_.locale()));
    }
}

} // namespace nimbara
