#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickWindow>
#include <QtQmlIntegration>

namespace nimbara {

class LauncherStore;

// The application-level commands that screens and the single-instance handshake call: quit,
// bring the main window forward, show the settings window. Screens reach it as Launcher.actions.
// Lives on the main thread for the whole run.
class ApplicationActions : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The actions are handed over by the application")

public:
    explicit ApplicationActions(LauncherStore& store, QObject* parent = nullptr);
    ~ApplicationActions() override;

    // The window activateMainWindow() raises; set once the main window is loaded.
    void setMainWindow(QQuickWindow* window);
    QQuickWindow* mainWindow() const { return mainWindow_; }
    // The settings window once it has been shown; null before.
    QQuickWindow* settingsWindow() const { return settingsWindow_; }

    // Quits the application (the event loop returns and the process ends with status 0).
    Q_INVOKABLE void quit();
    // Shows the main window (restoring it when minimised), raises it and asks for focus.
    Q_INVOKABLE void activateMainWindow();
    // Shows the settings window, creating it on first use through the main window's QML
    // engine, and brings it forward. Closing it only hides it.
    Q_INVOKABLE void showSettingsWindow();

private:
    QQuickWindow* createSettingsWindow();

    LauncherStore& store_;
    QPointer<QQuickWindow> mainWindow_;
    QPointer<QQuickWindow> settingsWindow_;
};

} // namespace nimbara
