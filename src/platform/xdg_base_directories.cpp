#include "platform/xdg_base_directories.h"

#include <QDir>

namespace nimbara {

namespace {

QString baseDirectory(const char* variable, QLatin1StringView homeDefault) {
    const QString configured = qEnvironmentVariable(variable);
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured)) {
        return QDir::cleanPath(configured);
    }
    return QDir::homePath() + QLatin1Char('/') + homeDefault;
}

} // namespace

QString xdgDataHome() {
    return baseDirectory("XDG_DATA_HOME", QLatin1StringView(".local/share"));
}

QString xdgCacheHome() {
    return baseDirectory("XDG_CACHE_HOME", QLatin1StringView(".cache"));
}

QString xdgConfigHome() {
    return baseDirectory("XDG_CONFIG_HOME", QLatin1StringView(".config"));
}

QString xdgStateHome() {
    return baseDirectory("XDG_STATE_HOME", QLatin1StringView(".local/state"));
}

} // namespace nimbara
