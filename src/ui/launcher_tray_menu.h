#pragma once

#include "catalog/app_manifest_item.h"
#include "presentation/tray_rules.h"
#include "text/nimbara_locale.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QUrl>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace nimbara {

class AppIconCache;
class ApplicationActions;
class LauncherStore;

// The launcher's tray icon and its menu: open the launcher, the first published apps (open
// when installed, install when possible, otherwise only select), send feedback, and an update
// check while an updater can check. The menu is rebuilt when what it shows changes (catalog,
// locale, the include-all-apps choice, a loaded app icon). On a desktop without a tray the
// launcher runs without it. One instance per run, on the main thread; store, actions and
// icons must outlive it.
class LauncherTrayMenu : public QObject {
    Q_OBJECT

public:
    // `icons` may be null: apps then show their symbols.
    LauncherTrayMenu(LauncherStore& store, ApplicationActions& actions, AppIconCache* icons,
                     QString appName, QObject* parent = nullptr);
    ~LauncherTrayMenu() override;

    // Shows the icon in the desktop's tray. False, after one logged line, when there is none.
    bool showInTray();

    // Whether an updater can check now; without one there is no update item.
    void setCanCheckForUpdates(bool canCheck);
    bool canCheckForUpdates() const { return canCheckForUpdates_; }

    // What the menu shows, and the menu built from it.
    const QList<TrayEntry>& entries() const { return entries_; }
    QMenu& menu() const { return *menu_; }
    // The tray's own icon (the launcher's logo).
    static QIcon trayIcon();

    // What the menu's items do.
    void openLauncher();
    void chooseApp(const AppManifestItem& app);
    void sendFeedback();

Q_SIGNALS:
    // The update item was chosen.
    void updateCheckRequested();

private:
    void refresh();
    void rebuildMenu();
    QIcon appIcon(const AppManifestItem& app) const;

    LauncherStore& store_;
    ApplicationActions& actions_;
    QPointer<AppIconCache> icons_;
    QString appName_;
    bool canCheckForUpdates_ = false;

    QList<TrayEntry> entries_;
    // What the current menu was built from, so that changes it does not show (an install's
    // progress) leave an open menu alone.
    NimbaraLocale builtLocale_ = NimbaraLocale::en;
    QSet<QUrl> builtWithIcons_;
    bool built_ = false;

    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> tray_;
};

} // namespace nimbara
