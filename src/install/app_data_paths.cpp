#include "install/app_data_paths.h"

#include "core/plain_identifier.h"
#include "platform/xdg_base_directories.h"

#include <QDir>

namespace nimbara {

AppDataRoots AppDataRoots::ofCurrentUser() {
    return {xdgDataHome(), xdgCacheHome(), xdgConfigHome(),
            QDir::homePath() + QStringLiteral("/.var/app"), xdgStateHome()};
}

std::optional<QList<QUrl>> appDataPaths(const QString& bundleID, const AppDataRoots& libraryRoot) {
    if (!isPlainIdentifier(bundleID)) {
        return std::nullopt;
    }
    QList<QUrl> paths;
    for (const QString& root : {libraryRoot.dataHome, libraryRoot.cacheHome, libraryRoot.configHome,
                                libraryRoot.sandboxData, libraryRoot.stateHome}) {
        paths.append(QUrl::fromLocalFile(QDir::cleanPath(root + QLatin1Char('/') + bundleID)));
    }
    return paths;
}

} // namespace nimbara
