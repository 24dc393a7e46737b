#pragma once

#include "catalog/app_install_state.h"
#include "catalog/app_manifest_item.h"
#include "catalog/launcher_manifest.h"

#include <QList>
#include <QString>
#include <optional>

// What the tray menu lists and what choosing an app in it does, as pure functions of the
// store's values.
namespace nimbara {

// The tray menu lists at most this many apps, the first ones of the catalog.
inline constexpr int maximumTrayApps = 8;

struct TrayEntry {
    enum class Kind {
        openLauncher,    // bring the main window forward
        separator,       //
        app,             // one published app
        noApps,          // the disabled "no apps yet" text, in place of the apps
        sendFeedback,    // open the feedback sheet
        checkForUpdates, // a user-initiated update check
        updateAll,       // update every app with an update, or stop doing so
    };
    Kind kind = Kind::separator;
    std::optional<AppManifestItem> app; // only for Kind::app
    QString title;                      // only for Kind::updateAll

    bool operator==(const TrayEntry&) const = default;
};

// The menu, top to bottom: open, separator, the first published apps (with `includeBeta`) in
// catalog order or the no-apps text, the update-all item titled `updateAllTitle` unless that is
// empty, separator, send feedback; then a separator and the update item only when
// `canCheckForUpdates`.
QList<TrayEntry> trayEntries(const LauncherManifest& catalog, bool includeBeta,
                             bool canCheckForUpdates, const QString& updateAllTitle = {});

// What choosing an app does after it has been selected.
enum class TrayAppAction {
    open,       // installed or with an update: start it
    install,    // not installed or failed, and the store accepts an install now
    selectOnly, // anything else (installing, needs a newer system, no release): stay selected
};

// `canInstall`: the store's canInstall for the app.
TrayAppAction trayAppAction(AppInstallState::Case state, bool canInstall);

} // namespace nimbara
