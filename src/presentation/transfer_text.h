#pragma once

#include "text/nimbara_locale.h"

#include <QString>
#include <QtGlobal>
#include <optional>

// How the screens write a download's progress, as pure functions.
namespace nimbara {

// A byte count in decimal units ("12.4 MB"): kB below a megabyte, MB below a gigabyte, else GB,
// with one decimal that is left out when it is 0, in the locale's number format.
QString byteSizeText(qint64 bytes, NimbaraLocale locale);

// The time a download still needs at `bytesPerSecond`: seconds below a minute, else minutes,
// both rounded up ("28 s left").
QString timeLeftText(qint64 remainingBytes, double bytesPerSecond, NimbaraLocale locale);

// "12.4 MB of 98 MB · 3.1 MB/s · 28 s left", or "12.4 MB · 3.1 MB/s" when the size is not
// known. Empty while no rate has been measured (or nothing arrives), so that the caller shows
// its general text instead.
QString downloadDetail(qint64 receivedBytes, std::optional<qint64> totalBytes,
                       std::optional<double> bytesPerSecond, NimbaraLocale locale);

} // namespace nimbara
