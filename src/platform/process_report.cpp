#include "platform/process_report.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace nimbara {

namespace {

QByteArray readProcFile(const char* path) {
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    // /proc files report a size of 0; readAll reads until the end.
    return file.readAll();
}

} // namespace

std::optional<qint64> millisecondsSinceProcessStart() {
    // /proc/self/stat: "pid (comm) state ppid ..."; comm may hold spaces and parentheses, so
    // the fields are counted from the last ')'. Field 22 is the start time in clock ticks
    // after boot; field 3 is the first one after the ')'.
    const QByteArray stat = readProcFile("/proc/self/stat");
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0) {
        return std::nullopt;
    }
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    constexpr qsizetype startTimeIndex = 22 - 3;
    if (fields.size() <= startTimeIndex) {
        return std::nullopt;
    }
    bool ok = false;
    const qint64 startTicks = fields.at(startTimeIndex).toLongLong(&ok);
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    timespec now{};
    if (!ok || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        return std::nullopt;
    }
    const qint64 nowMs = qint64(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
    const qint64 startMs = startTicks * 1000 / ticksPerSecond;
    return nowMs - startMs;
}

std::optional<qint64> residentSetKilobytes() {
    // "VmRSS:\t   12345 kB"
    const QByteArray status = readProcFile("/proc/self/status");
    for (const QByteArray& line : status.split('\n')) {
        if (line.startsWith("VmRSS:")) {
            bool ok = false;
            const qint64 kb = line.mid(6).trimmed().split(' ').value(0).toLongLong(&ok);
            if (ok) {
                return kb;
            }
        }
    }
    return std::nullopt;
}

void printReportLine(const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace nimbara
