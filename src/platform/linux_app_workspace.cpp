#include "platform/linux_app_workspace.h"

#include "core/logging.h"
#include "platform/info_plist.h"
#include "platform/running_processes.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace nimbara {

namespace {

const QString kAppSuffix = QStringLiteral(".app");

// The visible folders directly inside `folder`, sorted by name; symbolic links to folders count.
QStringList subfolders(const QString& folder) {
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    QStringList paths;
    paths.reserve(names.size());
    for (const QString& name : names) {
        paths.append(dir.filePath(name));
    }
    return paths;
}

bool isBundleFolder(const QString& path) {
    return path.endsWith(kAppSuffix);
}

// The bundle folders to search, in search order.
QStringList candidateBundles(const QString& installRoot, const QString& applicationsFolder) {
    QStringList candidates;
    for (const QString& path : subfolders(installRoot)) {
        if (isBundleFolder(path)) {
            candidates.append(path);
        }
    }
    const QStringList topLevel = subfolders(applicationsFolder);
    for (const QString& path : topLevel) {
        if (isBundleFolder(path)) {
            candidates.append(path);
        }
    }
    for (const QString& path : topLevel) {
        if (isBundleFolder(path)) {
            continue; // a bundle's own contents are never searched
        }
        for (const QString& nested : subfolders(path)) {
            if (isBundleFolder(nested)) {
                candidates.append(nested);
            }
        }
    }
    return candidates;
}

AppLaunchResult failure(QString problem) {
    return {AppLaunchResult::Case::failed, 0, std::move(problem)};
}

bool isPlainFileName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0')) &&
           name != QLatin1String(".") && name != QLatin1String("..");
}

} // namespace

LinuxAppWorkspace::LinuxAppWorkspace(QString installRoot, QString applicationsFolder)
    : installRoot_(std::move(installRoot)), applicationsFolder_(std::move(applicationsFolder)) {}

QString LinuxAppWorkspace::defaultInstallRoot() {
    return QDir::homePath() + QStringLiteral("/Applications/Nimbara");
}

QString LinuxAppWorkspace::defaultApplicationsFolder() {
    return QDir::homePath() + QStringLiteral("/Applications");
}

std::optional<QUrl> LinuxAppWorkspace::urlForApplication(const QString& bundleIdentifier) const {
    if (bundleIdentifier.isEmpty()) {
        return std::nullopt;
    }
    for (const QString& bundle : candidateBundles(installRoot_, applicationsFolder_)) {
        if (bundleCarriesIdentifier(bundle, bundleIdentifier)) {
            return QUrl::fromLocalFile(QDir::cleanPath(QFileInfo(bundle).absoluteFilePath()));
        }
    }
    return std::nullopt;
}

void LinuxAppWorkspace::openApplication(const QUrl& bundleURL) {
    const AppLaunchResult result = launchApplication(bundleURL);
    if (result.kind == AppLaunchResult::Case::failed) {
        qCWarning(logPlatform).noquote()
            << "cannot open" << bundleURL.toString() << ":" << result.problem;
    }
}

AppLaunchResult LinuxAppWorkspace::launchApplication(const QUrl& bundleURL) const {
    if (!bundleURL.isLocalFile()) {
        return failure(QStringLiteral("not a local bundle"));
    }
    const QString bundle = QFileInfo(bundleURL.toLocalFile()).canonicalFilePath();
    if (bundle.isEmpty() || !QFileInfo(bundle).isDir()) {
        return failure(QStringLiteral("no bundle folder"));
    }
    const std::optional<QVariantMap> info = readInfoPlist(infoPlistPath(bundle));
    if (!info) {
        return failure(QStringLiteral("unreadable Info.plist"));
    }
    const QVariant name = info->value(QStringLiteral("CFBundleExecutable"));
    if (name.typeId() != QMetaType::QString || !isPlainFileName(name.toString())) {
        return failure(QStringLiteral("CFBundleExecutable is not a plain file name"));
    }
    const QFileInfo executable(bundle + QStringLiteral("/Contents/MacOS/") + name.toString());
    // A symbolic link may point anywhere; what runs must lie inside the bundle, which is also
    // where the running-instance check looks for it.
    const QString resolved = executable.canonicalFilePath();
    if (resolved.isEmpty() || !resolved.startsWith(bundle + QLatin1Char('/'))) {
        return failure(QStringLiteral("the executable is missing or lies outside the bundle"));
    }
    if (!QFileInfo(resolved).isFile() || !QFileInfo(resolved).isExecutable()) {
        return failure(QStringLiteral("the executable is not an executable file"));
    }
    if (!processesRunningFrom(bundle).isEmpty()) {
        return {AppLaunchResult::Case::alreadyRunning, 0, {}};
    }
    // QProcess starts a detached program through an intermediate child that calls setsid(), so
    // the app runs in a session of its own and is not the launcher's child.
    QProcess process;
    process.setProgram(executable.absoluteFilePath());
    process.setWorkingDirectory(bundle);
    process.setStandardInputFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!process.startDetached(&pid)) {
        return failure(process.errorString());
    }
    return {AppLaunchResult::Case::started, pid, {}};
}

} // namespace nimbara
