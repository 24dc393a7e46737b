#include "ui/application_actions.h"

#include "core/logging.h"
#include "store/launcher_store.h"
#include "ui/design_palette.h"

#include <QCoreApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>

namespace nimbara {

namespace {

// The settings window of the Nimbara module.
constexpr char settingsWindowUrl[] = "qrc:/qt/qml/Nimbara/SettingsWindow.qml";

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
    : QObject(parent), store_(store) {}

ApplicationActions::~ApplicationActions() {
    delete settingsWindow_;
}

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
        settingsWindow_ = createSettingsWindow();
    }
    if (settingsWindow_) {
        bringForward(*settingsWindow_);
    }
}

QQuickWindow* ApplicationActions::createSettingsWindow() {
    QQmlEngine* engine = mainWindow_ ? qmlEngine(mainWindow_) : nullptr;
    if (!engine) {
        qCWarning(logUi) << "the settings window cannot open: the main window is not loaded";
        return nullptr;
    }
    QQmlComponent component(engine, QUrl(QString::fromLatin1(settingsWindowUrl)));
    QObject* created = component.create();
    auto* window = qobject_cast<QQuickWindow*>(created);
    if (!window) {
        qCWarning(logUi).noquote()
            << "the settings window could not be loaded:" << component.errorString();
        delete created;
        return nullptr;
    }
    DesignPalette::applyTo(*window);
    // The window's screens must go while their engine still exists: with the main window, which
    // the engine destroys first (or with these actions, should they go before it).
    QQmlEngine::setObjectOwnership(window, QQmlEngine::CppOwnership);
    connect(mainWindow_, &QObject::destroyed, window, [window] { delete window; });
    return window;
}

} // namespace nimbara
