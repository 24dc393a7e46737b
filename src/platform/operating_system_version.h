#pragma once

#include <QString>
#include <QtGlobal>
#include <compare>

namespace nimbara {

// An operating-system version: major.minor.patch, ordered component by component.
struct OperatingSystemVersion {
    qint64 major = 0;
    qint64 minor = 0;
    qint64 patch = 0;

    auto operator<=>(const OperatingSystemVersion&) const = default;

    // Always three numbers: "14.5.0".
    QString toString() const { return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(patch); }
};

} // namespace nimbara
