#pragma once

// The real main window, loaded offscreen through installLauncherUi over a store on substitutes,
// for the QML tests of this folder. Any QML warning or error fails the test that caused it.

#include "catalog/launcher_announcement.h"
#include "catalog/launcher_manifest.h"
#include "services/launcher_updater.h"
#include "store/launcher_store.h"
#include "support/fake_collaborators.h"
#include "text/nimbara_copy.h"
#include "ui/application_actions.h"

#include <QObject>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStringList>
#include <memory>

namespace nimbara::test {

// Base of the QML test classes: after each test, any warning that was not expected fails it.
class QmlTest : public QObject {
    Q_OBJECT

protected:
    // A warning containing `fragment` is expected in the running test.
    static void expectWarning(const QString& fragment);

private Q_SLOTS:
    // QtTest has installed its own message handler by now; ours records, then hands on to it.
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
};

// The English text of `key` with `values` filled in.
QString english(CopyKey key, const CopyValues& values = {});

// A pending announcement of a new app.
LauncherAnnouncement announcementOf(const QString& appID);

// Drives one window of the launcher: finds its items, lets it settle, clicks and types in it.
struct QmlWindow {
    QQuickWindow* window = nullptr;

    // The item named `objectName` in the window's visual tree (popups included), or null.
    QQuickItem* item(const QString& objectName) const;
    static QQuickItem* findItem(QQuickItem* root, const QString& objectName);
    QObject* object(const QString& objectName) const;
    // Lets bindings, deferred calls and one frame run.
    void settle() const;
    void click(QQuickItem* target) const;
    void resize(int width) const;
    // Makes the window the active one, so that key presses reach it.
    bool activate() const;
    // Presses `key` in the window, then settles.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) const;
    // Types plain ASCII text into whatever has the focus, one key at a time.
    void type(const QString& text) const;
    // The object name of the item with the active focus, or empty.
    QString focusedName() const;
};

// One store on substitutes and the main window loaded over it.
struct QmlLauncher : QmlWindow {
    FakeCollaborators fakes;
    std::unique_ptr<LauncherStore> store;
    std::unique_ptr<ApplicationActions> actions;
    std::unique_ptr<QQmlApplicationEngine> engine;

    // `announcementsSeenBefore`: a catalog was loaded before, so new announcements are pending.
    // Without an `updater` the screens get one that is off.
    explicit QmlLauncher(const LauncherManifest& catalog, bool onboardingComplete = true,
                         bool announcementsSeenBefore = false, LauncherUpdater* updater = nullptr);
    ~QmlLauncher();

    // Whether the window loaded, is on screen and is the active one.
    bool shown() const;
    // Shows the settings window through the application's actions.
    QmlWindow settings() const;
};

} // namespace nimbara::test
