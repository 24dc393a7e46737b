#pragma once

#include <QList>
#include <QString>

namespace nimbara {

// The processes of the current user whose executable (/proc/PID/exe) lies inside `folder`, in
// ascending PID order. The folder is compared after resolving symbolic links; an executable
// whose file has been deleted or replaced since it started still counts. The calling process is
// included when it runs from the folder. Processes of other users, and those whose executable
// cannot be read (zombies, kernel threads), are left out. The scan reads /proc and blocks
// briefly: run it off the main thread.
QList<qint64> processesRunningFrom(const QString& folder);

} // namespace nimbara
