#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

namespace nimbara {

// The folders under which apps keep a user's data, by bundle identifier.
struct AppDataRoots {
    QString dataHome;    // $XDG_DATA_HOME
    QString cacheHome;   // $XDG_CACHE_HOME
    QString configHome;  // $XDG_CONFIG_HOME
    QString sandboxData; // ~/.var/app, where sandboxed apps keep theirs
    QString stateHome;   // $XDG_STATE_HOME

    // The current user's folders, read from the environment (XDG defaults when unset).
    static AppDataRoots ofCurrentUser();
};

// The data locations of bundle identifier `bundleID`, in this order: data, cache, config,
// sandbox data and state root, each joined with the identifier. None when the identifier is not
// a plain identifier (see isPlainIdentifier): such a name could lead outside these roots.
std::optional<QList<QUrl>> appDataPaths(const QString& bundleID, const AppDataRoots& libraryRoot);

} // namespace nimbara
