#pragma once

#include <QUrl>
#include <functional>

namespace nimbara {

// Starts the launcher of the bundle at `bundleURL` (its Contents/MacOS/<CFBundleExecutable>)
// in a session of its own, telling it to wait until this process has ended, then calls `quit`.
// Throws ProcessError, without quitting, when the new launcher cannot be started.
void relaunchLauncher(const QUrl& bundleURL, const std::function<void()>& quit);

// In a launcher that relaunchLauncher started: waits until the launcher that started it has
// ended (at most 10 s), so that this one can take over its preferences. Does nothing in any
// other launch. Call it first thing, before any window exists.
void waitForReplacedLauncher();

} // namespace nimbara
