#include "services/xdg_autostart_login_item_adapter.h"

#include "core/error.h"
#include "core/logging.h"
#include "platform/xdg_base_directories.h"
#include "services/desktop_entry_text.h"
#include "text/nimbara_copy.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <filesystem>
#include <system_error>

namespace nimbara {

namespace {

std::filesystem::path nativePath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString systemMessage(const std::error_code& error) {
    return QString::fromLocal8Bit(error.message().c_str());
}

// Reads the keys of the [Desktop Entry] group that switch an autostart entry off.
LoginItemServiceStatus statusOfEntry(QFile& file) {
    bool inMainGroup = false;
    bool hasMainGroup = false;
    bool switchedOff = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        if (line.startsWith(u'[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            hasMainGroup = hasMainGroup || inMainGroup;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inMainGroup || equals < 0) {
            continue;
        }
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if ((key == QLatin1String("Hidden") && value == QLatin1String("true")) ||
            (key == QLatin1String("X-GNOME-Autostart-enabled") &&
             value == QLatin1String("false"))) {
            switchedOff = true;
        }
    }
    return hasMainGroup && !switchedOff ? LoginItemServiceStatus::enabled
                                        : LoginItemServiceStatus::notRegistered;
}

} // namespace

XdgAutostartLoginItemAdapter::XdgAutostartLoginItemAdapter(QString executable)
    : executable_(executable.isEmpty() ? QCoreApplication::applicationFilePath()
                                       : std::move(executable)) {}

QString XdgAutostartLoginItemAdapter::autostartFolder() {
    return QDir(xdgConfigHome()).filePath(QStringLiteral("autostart"));
}

QString XdgAutostartLoginItemAdapter::entryPath() {
    return QDir(autostartFolder()).filePath(QStringLiteral("nimbara.desktop"));
}

QString XdgAutostartLoginItemAdapter::execValue(const QString& executable) {
    return desktopEntryExec(executable);
}

QByteArray XdgAutostartLoginItemAdapter::entryContent(const QString& executable) {
    const QString brand = NimbaraCopy::text(CopyKey::brand, NimbaraLocale::en);
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=%1\n"
                                         "Exec=%2\n"
                                         "Icon=nimbara\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(desktopEntryString(brand), execValue(executable));
    return entry.toUtf8();
}

LoginItemServiceStatus XdgAutostartLoginItemAdapter::status() const {
    QFile file(entryPath());
    if (!file.exists()) {
        return LoginItemServiceStatus::notRegistered;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        // The session cannot read it either, so nothing starts the launcher.
        qCWarning(logServices) << "cannot read the autostart entry" << file.fileName() << ":"
                               << file.errorString();
        return LoginItemServiceStatus::notRegistered;
    }
    return statusOfEntry(file);
}

void XdgAutostartLoginItemAdapter::registerItem() {
    const QString folder = autostartFolder();
    std::error_code error;
    std::filesystem::create_directories(nativePath(folder), error);
    if (error) {
        throw FileError(
            QStringLiteral("Could not create %1: %2").arg(folder, systemMessage(error)));
    }
    QSaveFile file(entryPath());
    const QByteArray content = entryContent(executable_);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() ||
        !file.commit()) {
        throw FileError(
            QStringLiteral("Could not write %1: %2").arg(file.fileName(), file.errorString()));
    }
}

void XdgAutostartLoginItemAdapter::unregisterItem() {
    const QString path = entryPath();
    std::error_code error;
    std::filesystem::remove(nativePath(path), error); // an absent entry is no error
    if (error) {
        throw FileError(QStringLiteral("Could not remove %1: %2").arg(path, systemMessage(error)));
    }
}

void XdgAutostartLoginItemAdapter::openAutostartFolder() {
    const QString folder = autostartFolder();
    std::error_code error;
    std::filesystem::create_directories(nativePath(folder), error);
    if (error) {
        qCWarning(logServices) << "cannot create the autostart folder" << folder << ":"
                               << systemMessage(error);
        return;
    }
    QProcess opener;
    opener.setProgram(QStringLiteral("xdg-open"));
    opener.setArguments({folder});
    if (!opener.startDetached()) {
        qCWarning(logServices) << "cannot show the autostart folder" << folder << ":"
                               << opener.errorString();
    }
}

} // namespace nimbara
