#include "catalog/app_release_status.h"

#include "text/nimbara_copy.h"

namespace nimbara::AppReleaseStatuses {

using namespace Qt::StringLiterals;

const QList<AppReleaseStatus>& allCases() {
    static const QList<AppReleaseStatus> cases{AppReleaseStatus::beta, AppReleaseStatus::live,
                                               AppReleaseStatus::comingSoon,
                                               AppReleaseStatus::retired};
    return cases;
}

QLatin1StringView rawValue(AppReleaseStatus status) {
    switch (status) {
    case AppReleaseStatus::beta:
        return "beta"_L1;
    case AppReleaseStatus::live:
        return "live"_L1;
    case AppReleaseStatus::comingSoon:
        return "comingSoon"_L1;
    case AppReleaseStatus::retired:
        return "retired"_L1;
    }
    return {};
}

std::optional<AppReleaseStatus> fromRaw(QStringView raw) {
    for (AppReleaseStatus status : allCases()) {
        if (raw == rawValue(status))
            return status;
    }
    return std::nullopt;
}

QString label(AppReleaseStatus status, NimbaraLocale locale) {
    switch (status) {
    case AppReleaseStatus::beta:
        return NimbaraCopy::text(CopyKey::statusBeta, locale);
    case AppReleaseStatus::live:
        return NimbaraCopy::text(CopyKey::statusLive, locale);
    case AppReleaseStatus::comingSoon:
        return NimbaraCopy::text(CopyKey::statusComingSoon, locale);
    case AppReleaseStatus::retired:
        return NimbaraCopy::text(CopyKey::statusRetired, locale);
    }
    return {};
}

} // namespace nimbara::AppReleaseStatuses
