#include "services/xdg_application_entry.h"

#include "core/error.h"
#include "platform/xdg_base_directories.h"
#include "services/desktop_entry_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace nimbara {

QString XdgApplicationEntry::entryPath() {
    return QDir(xdgDataHome()).filePath(QStringLiteral("applications/nimbara.desktop"));
}

QByteArray XdgApplicationEntry::entryContent(const QString& executable, const QString& icon) {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Nimbara\n"
                          "GenericName=App Launcher\n"
                          "Comment=Find, install, update and open the Nimbara family of apps\n"
                          "Exec=%1\n"
                          "Icon=%2\n"
                          "Terminal=false\n"
                          "Categories=Utility;\n"
                          "StartupWMClass=nimbara\n")
        .arg(desktopEntryExec(executable), desktopEntryString(icon))
        .toUtf8();
}

bool XdgApplicationEntry::ensure(const QString& executable, const QString& icon) {
    const QByteArray content = entryContent(executable, icon);
    const QString path = entryPath();
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return false;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw FileError(QStringLiteral("Could not create %1").arg(QFileInfo(path).absolutePath()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw FileError(QStringLiteral("Could not write %1: %2").arg(path, file.errorString()));
    return true;
}

bool XdgApplicationEntry::isPerUserBundle(const QString& bundlePath, const QString& home) {
    const QString bundle = QDir::cleanPath(bundlePath);
    const QString root = QDir::cleanPath(home);
    return bundle.endsWith(QStringLiteral(".app")) && !root.isEmpty() &&
           bundle.startsWith(root + u'/');
}

} // namespace nimbara
