#pragma once

#include "text/nimbara_locale.h"

#include <QHashFunctions>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

namespace nimbara {

// The release status of a catalog app; the raw values are the case names.
enum class AppReleaseStatus { beta, live, comingSoon, retired };

namespace AppReleaseStatuses {
// beta, live, comingSoon, retired.
const QList<AppReleaseStatus>& allCases();
QLatin1StringView rawValue(AppReleaseStatus status);
// The case whose raw value is exactly `raw` (case-sensitive), if any.
std::optional<AppReleaseStatus> fromRaw(QStringView raw);
// The status's display text in `locale`, from the text table (statusBeta, statusLive,
// statusComingSoon, statusRetired).
QString label(AppReleaseStatus status, NimbaraLocale locale);
} // namespace AppReleaseStatuses

inline size_t qHash(AppReleaseStatus status, size_t seed = 0) noexcept {
    return ::qHash(static_cast<int>(status), seed);
}

} // namespace nimbara
