#pragma once

#include <QList>
#include <QString>

namespace nimbara {

// The program of a process is its executable (/proc/PID/exe) or, when the process runs a script,
// the script: the first argument after the interpreter's own options in /proc/PID/cmdline, when
// that file starts with a "#!" line naming the interpreter the process was started as. A script
// path that is relative is taken from the process's working folder; symbolic links are resolved.
//
// Both scans below consider only processes of the current user, in ascending PID order, and
// leave out those whose executable cannot be read (zombies, kernel threads). An executable whose
// file has been deleted or replaced since it started still counts. The calling process is
// included when its program matches. A scan reads /proc and blocks briefly: run it off the main
// thread.

// The processes whose program lies inside `folder` (compared after resolving symbolic links).
QList<qint64> processesRunningFrom(const QString& folder);

// The processes whose program lies inside a `*.app` folder whose Contents/Info.plist carries
// `bundleIdentifier` as CFBundleIdentifier (any enclosing `*.app` folder counts). None for an
// empty identifier.
QList<qint64> processesRunningApp(const QString& bundleIdentifier);

} // namespace nimbara
