#include "install/proc_running_app_terminator.h"

#include "core/logging.h"
#include "platform/running_processes.h"

#include <QCoro/QCoroFuture>
#include <QCoro/QCoroTimer>
#include <QtConcurrent>
#include <csignal>

namespace nimbara {

namespace {

using Clock = std::chrono::steady_clock;

QCoro::Task<QList<qint64>> runningInstances(QString bundleID) {
    QFuture<QList<qint64>> scan = QtConcurrent::run(processesRunningApp, bundleID);
    co_return co_await scan;
}

void sendSignal(const QList<qint64>& pids, int signal) {
    for (const qint64 pid : pids) {
        if (::kill(static_cast<pid_t>(pid), signal) != 0 && errno != ESRCH) {
            qCWarning(logInstall).noquote()
                << "cannot signal process" << pid << ":" << qt_error_string(errno);
        }
    }
}

QCoro::Task<> sleep(std::chrono::milliseconds duration) {
    co_await QCoro::sleepFor(duration);
}

} // namespace

ProcRunningAppTerminator::ProcRunningAppTerminator(Pause pause)
    : pause_(pause ? std::move(pause) : Pause(sleep)) {}

QCoro::Task<bool> ProcRunningAppTerminator::terminate(QString bundleID, double timeoutSeconds) {
    const Pause pause = pause_; // copied: the terminator may be gone when this resumes
    QList<qint64> running = co_await runningInstances(bundleID);
    if (running.isEmpty()) {
        co_return true;
    }
    sendSignal(running, SIGTERM);
    const auto deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(std::max(timeoutSeconds, 0.0)));
    while (Clock::now() < deadline) {
        QCoro::Task<> wait = pause(kPollInterval);
        co_await wait;
        running = co_await runningInstances(bundleID);
        if (running.isEmpty()) {
            co_return true;
        }
    }

    qCInfo(logInstall).noquote() << "forcing" << bundleID << "to quit:" << running;
    sendSignal(running, SIGKILL);
    // A killed process stays listed until the kernel has torn it down.
    const auto given = Clock::now() + kForcedQuitWait;
    running = co_await runningInstances(bundleID);
    while (!running.isEmpty() && Clock::now() < given) {
        QCoro::Task<> wait = pause(kForcedQuitPollInterval);
        co_await wait;
        running = co_await runningInstances(bundleID);
    }
    if (!running.isEmpty()) {
        qCWarning(logInstall).noquote() << bundleID << "is still running:" << running;
    }
    co_return running.isEmpty();
}

} // namespace nimbara
