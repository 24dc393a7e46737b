#pragma once

#include "platform/app_workspace.h"

#include <QString>

namespace nimbara {

// What one attempt at opening an app bundle did.
struct AppLaunchResult {
    enum class Case { started, alreadyRunning, failed };

    Case kind = Case::failed;
    qint64 pid = 0;  // the started process; 0 unless started
    QString problem; // why it failed, for the log; empty unless failed
};

// Finds and opens app bundles on Linux.
//
// Finding: the `*.app` folders directly inside the install root come first, then those directly
// inside the applications folder, then those one level below it; within a folder, by name. The
// first whose Contents/Info.plist carries the identifier as CFBundleIdentifier wins.
//
// Opening: runs Contents/MacOS/<CFBundleExecutable> without arguments, detached in a session of
// its own, with the bundle folder as working directory. When a process of this user already
// runs an executable inside the bundle folder, nothing is started.
class LinuxAppWorkspace : public AppWorkspace {
public:
    LinuxAppWorkspace(QString installRoot, QString applicationsFolder);

    // $HOME/Applications/Nimbara, where the launcher installs apps.
    static QString defaultInstallRoot();
    // $HOME/Applications.
    static QString defaultApplicationsFolder();

    std::optional<QUrl> urlForApplication(const QString& bundleIdentifier) const override;
    // Launches as `launchApplication` does; a failure is only logged.
    void openApplication(const QUrl& bundleURL) override;

    // Opens the bundle and tells what happened. Fails when the URL is not a local folder, the
    // Info.plist cannot be read, CFBundleExecutable is missing, not a plain file name (a "/",
    // "." or "..") or resolves outside the bundle folder, the file is not executable, or the
    // process cannot be started.
    AppLaunchResult launchApplication(const QUrl& bundleURL) const;

private:
    QString installRoot_;
    QString applicationsFolder_;
};

} // namespace nimbara
