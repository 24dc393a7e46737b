#pragma once

#include <QtGlobal>
#include <optional>

namespace nimbara {

// Milliseconds since this process was created (the kernel's start time of the process, so the
// time spent loading libraries before main() counts too). The kernel keeps that time in clock
// ticks, so the figure is exact to one tick (10 ms on most systems). None when /proc is not
// readable.
std::optional<qint64> millisecondsSinceProcessStart();

// The process's resident set size in kilobytes (VmRSS), or none when /proc is not readable.
std::optional<qint64> residentSetKilobytes();

// Writes one line to standard output and flushes it at once, so a parent process reading a
// pipe sees it immediately.
void printReportLine(const QString& line);

} // namespace nimbara
