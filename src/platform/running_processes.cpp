#include "platform/running_processes.h"

#include "platform/info_plist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbara {

namespace {

// What the kernel appends to /proc/PID/exe when the executable's file is gone.
constexpr QLatin1StringView kDeletedSuffix(" (deleted)");
// A "#!" line longer than this is not looked at (the kernel itself reads far less).
constexpr qint64 kShebangReadLimit = 512;

// The resolved absolute form of `folder`; its cleaned absolute form when it no longer exists.
QString resolvedFolder(const QString& folder) {
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool ownedByCurrentUser(const QByteArray& procEntry) {
    struct stat status {};
    return ::stat(procEntry.constData(), &status) == 0 && status.st_uid == ::geteuid();
}

QString linkTarget(const QByteArray& link) {
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t length = ::readlink(link.constData(), target.data(), target.size());
    if (length <= 0 || length >= target.size()) {
        return {};
    }
    target.truncate(length);
    return QFile::decodeName(target);
}

QString executableOf(const QByteArray& procEntry) {
    QString path = linkTarget(procEntry + "/exe");
    if (path.endsWith(kDeletedSuffix)) {
        path.chop(kDeletedSuffix.size());
    }
    return path;
}

// True when `script` starts with a "#!" line one of whose words names `interpreter`'s file.
bool namesInterpreter(const QString& script, const QString& interpreter) {
    QFile file(script);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = file.read(kShebangReadLimit);
    if (!head.startsWith("#!")) {
        return false;
    }
    const QString line = QString::fromLocal8Bit(head.mid(2, head.indexOf('\n') - 2));
    const QString name = QFileInfo(interpreter).fileName();
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return std::any_of(words.cbegin(), words.cend(),
                       [&](const QString& word) { return QFileInfo(word).fileName() == name; });
}

// What a process may run as a script: the resolved path and the name it was started as.
struct ScriptCandidate {
    QString path; // empty when there is none
    QString interpreter;
};

ScriptCandidate scriptCandidateOf(const QByteArray& procEntry) {
    QFile file(QString::fromLatin1(procEntry + "/cmdline"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QList<QByteArray> arguments = file.readAll().split('\0');
    if (arguments.size() < 2) {
        return {};
    }
    const auto candidate =
        std::find_if(arguments.cbegin() + 1, arguments.cend(), [](const QByteArray& argument) {
            return !argument.isEmpty() && !argument.startsWith('-');
        });
    if (candidate == arguments.cend()) {
        return {};
    }
    QString path = QFile::decodeName(*candidate);
    if (QDir::isRelativePath(path)) {
        const QString workingFolder = linkTarget(procEntry + "/cwd");
        if (workingFolder.isEmpty()) {
            return {};
        }
        path = workingFolder + QLatin1Char('/') + path;
    }
    return {QFileInfo(path).canonicalFilePath(), QFile::decodeName(arguments.first())};
}

// The processes of this user whose executable, or else whose script, `accepts` takes.
QList<qint64> processesWhoseProgram(const std::function<bool(const QString&)>& accepts) {
    QList<qint64> pids;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric || pid <= 0) {
            continue;
        }
        const QByteArray procEntry = "/proc/" + entry.toLatin1();
        if (!ownedByCurrentUser(procEntry)) {
            continue;
        }
        const QString executable = executableOf(procEntry);
        if (executable.isEmpty()) {
            continue;
        }
        if (accepts(executable)) {
            pids.append(pid);
            continue;
        }
        const ScriptCandidate script = scriptCandidateOf(procEntry);
        if (!script.path.isEmpty() && accepts(script.path) &&
            namesInterpreter(script.path, script.interpreter)) {
            pids.append(pid);
        }
    }
    std::sort(pids.begin(), pids.end());
    return pids;
}

// The `*.app` folders that enclose `path`, outermost first.
QStringList enclosingBundles(const QString& path) {
    QStringList bundles;
    qsizetype end = 0;
    while ((end = path.indexOf(QLatin1Char('/'), end + 1)) > 0) {
        const QStringView folder = QStringView(path).left(end);
        if (folder.endsWith(QLatin1String(".app"))) {
            bundles.append(folder.toString());
        }
    }
    return bundles;
}

} // namespace

QList<qint64> processesRunningFrom(const QString& folder) {
    const QString root = resolvedFolder(folder);
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    return processesWhoseProgram(
        [&](const QString& program) { return program.startsWith(prefix); });
}

QList<qint64> processesRunningApp(const QString& bundleIdentifier) {
    if (bundleIdentifier.isEmpty()) {
        return {};
    }
    QHash<QString, bool> carries; // bundle folder -> whether it carries the identifier
    return processesWhoseProgram([&](const QString& program) {
        const QStringList bundles = enclosingBundles(program);
        return std::any_of(bundles.cbegin(), bundles.cend(), [&](const QString& bundle) {
            const auto known = carries.constFind(bundle);
            if (known != carries.cend()) {
                return *known;
            }
            const bool match = bundleCarriesIdentifier(bundle, bundleIdentifier);
            carries.insert(bundle, match);
            return match;
        });
    });
}

} // namespace nimbara
