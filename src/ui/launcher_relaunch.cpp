#include "ui/launcher_relaunch.h"

#include "core/error.h"
#include "core/logging.h"
#include "platform/info_plist.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <cerrno>
#include <csignal>

namespace nimbara {

namespace {

// Names the process a relaunched launcher waits for.
constexpr char kReplacedLauncherVariable[] = "NIMBARA_REPLACED_LAUNCHER_PID";
// A quitting launcher saves its state and ends within a moment; one that hangs longer is not
// waited for (the new one then meets its lock and brings it forward, as any second launch does).
constexpr int kReplacedLauncherWaitMs = 10'000;

QString executableOf(const QString& bundle) {
    const std::optional<QVariantMap> info = readInfoPlist(infoPlistPath(bundle));
    const QString name =
        info ? info->value(QStringLiteral("CFBundleExecutable")).toString() : QString();
    if (name.isEmpty() || name.contains(u'/') || name == u"." || name == u"..")
        throw ProcessError(
            QStringLiteral("The updated bundle %1 names no executable to start.").arg(bundle));
    return bundle + QStringLiteral("/Contents/MacOS/") + name;
}

// Whether process `pid` still runs: it exists and is not a zombie waiting for its parent (a
// zombie has let go of every file, the preferences lock included).
bool isRunning(qint64 pid) {
    if (::kill(pid_t(pid), 0) != 0 && errno != EPERM)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')'); // the name in brackets may hold anything
    return end < 0 || line.mid(end + 2, 1) != "Z";
}

} // namespace

void relaunchLauncher(const QUrl& bundleURL, const std::function<void()>& quit) {
    const QString bundle = bundleURL.toLocalFile();
    QProcess process;
    process.setProgram(executableOf(bundle));
    process.setWorkingDirectory(bundle);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kReplacedLauncherVariable),
                       QString::number(QCoreApplication::applicationPid()));
    process.setProcessEnvironment(environment);
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        throw ProcessError(
            QStringLiteral("Could not start %1: %2").arg(process.program(), process.errorString()));
    qCInfo(logUi).noquote() << "started the updated launcher" << process.program() << "as" << pid
                            << "and quit";
    quit();
}

void waitForReplacedLauncher() {
    const QByteArray value = qgetenv(kReplacedLauncherVariable);
    if (value.isEmpty())
        return;
    qunsetenv(kReplacedLauncherVariable);
    bool ok = false;
    const qint64 pid = value.toLongLong(&ok);
    if (!ok || pid <= 1) {
        qCWarning(logUi) << "ignoring a replaced launcher's process id that is not one:" << value;
        return;
    }
    const QDeadlineTimer deadline(kReplacedLauncherWaitMs);
    while (isRunning(pid)) {
        if (deadline.hasExpired()) {
            qCWarning(logUi) << "the launcher this one replaces, process" << pid
                             << "has not ended; starting anyway";
            return;
        }
        QThread::msleep(50);
    }
}

} // namespace nimbara
