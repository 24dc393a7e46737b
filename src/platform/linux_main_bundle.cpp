#include "platform/linux_main_bundle.h"

#include "nimbara/build_info.h"
#include "platform/info_plist.h"

#include <QDir>
#include <QFileInfo>

namespace nimbara {

namespace {

QString runningExecutable() {
    const QString path = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return path.isEmpty() ? QStringLiteral("/proc/self/exe") : path;
}

void insertIfSet(QVariantMap& info, const QString& key, const char* value) {
    const QString text = QString::fromUtf8(value);
    if (!text.isEmpty()) {
        info.insert(key, text);
    }
}

} // namespace

LinuxMainBundle::LinuxMainBundle() : LinuxMainBundle(runningExecutable()) {}

LinuxMainBundle::LinuxMainBundle(const QString& executablePath) {
    const QString executable = QDir::cleanPath(QFileInfo(executablePath).absoluteFilePath());
    const QDir macOS = QFileInfo(executable).dir();
    const QString contents = QFileInfo(macOS.path()).path();
    const QString bundle = QFileInfo(contents).path();
    const QString bundleName = QFileInfo(bundle).fileName();
    isAppBundle_ = macOS.dirName() == QLatin1String("MacOS") &&
                   QFileInfo(contents).fileName() == QLatin1String("Contents") &&
                   bundleName.size() > 4 && bundleName.endsWith(QLatin1String(".app"));
    if (isAppBundle_) {
        bundlePath_ = bundle;
        info_ = readInfoPlist(infoPlistPath(bundle)).value_or(QVariantMap());
    } else {
        bundlePath_ = macOS.path();
        info_ = builtInInfo();
    }
}

QUrl LinuxMainBundle::bundleURL() const {
    return QUrl::fromLocalFile(bundlePath_);
}

std::optional<QVariant> LinuxMainBundle::infoValue(const QString& key) const {
    const auto it = info_.constFind(key);
    if (it == info_.constEnd()) {
        return std::nullopt;
    }
    return *it;
}

QVariantMap LinuxMainBundle::builtInInfo() {
    QVariantMap info;
    insertIfSet(info, QStringLiteral("CFBundleIdentifier"), build_info::kBundleIdentifier);
    insertIfSet(info, QStringLiteral("CFBundleShortVersionString"), build_info::kShortVersion);
    insertIfSet(info, QStringLiteral("NimbaraManifestURL"), build_info::kManifestURL);
    insertIfSet(info, QStringLiteral("NimbaraAPIURL"), build_info::kAPIURL);
    insertIfSet(info, QStringLiteral("SUFeedURL"), build_info::kSUFeedURL);
    return info;
}

} // namespace nimbara
