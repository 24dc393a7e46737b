#include "catalog/app_release_status.h"

#include "core/enum_names.h"
#include "text/nimbara_copy.h"

namespace nimbara::AppReleaseStatuses {

using namespace Qt::StringLiterals;

namespace {
constexpr EnumNames<AppReleaseStatus, 4> kNames({"beta"_L1, "live"_L1, "comingSoon"_L1,
                                                 "retired"_L1});
} // namespace

const QList<AppReleaseStatus>& allCases() {
    static const QList<AppReleaseStatus> cases = kNames.allCases();
    return cases;
}

QLatin1StringView rawValue(AppReleaseStatus status) {
    return kNames.rawValue(status);
}

std::optional<AppReleaseStatus> fromRaw(QStringView raw) {
    return kNames.fromRaw(raw);
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
