#pragma once

#include <QStringView>

namespace nimbara {

// The result of ordering two version strings: first before, equal to, or after second.
enum class VersionOrder { ascending = -1, same = 0, descending = 1 };

// Orders two version strings the way updates are detected: a numeric dot-separated core
// (missing components count as 0, non-numeric ones as 0), then an optional pre-release after
// the first "-" (a release orders after its pre-releases), with any "+build" suffix ignored.
// Lenient: it never fails, and every string orders somewhere.
VersionOrder compareVersions(QStringView first, QStringView second);

} // namespace nimbara
