#include "catalog/manifest_policy.h"

#include "core/enum_names.h"

#include <QStringList>
#include <limits>

namespace nimbara {

QLatin1StringView catalogLifecycleKindName(CatalogLifecycleKind kind) {
    static constexpr EnumNames<CatalogLifecycleKind, 4> names(
        {QLatin1StringView("empty"), QLatin1StringView("comingSoonOnly"),
         QLatin1StringView("firstPublishedApp"), QLatin1StringView("multiAppCatalog")});
    return names.rawValue(kind);
}

namespace ManifestPolicy {

namespace {

bool isVisible(const AppManifestItem& app, bool includeBeta) {
    return app.status != AppReleaseStatus::retired &&
           (includeBeta || app.status != AppReleaseStatus::beta);
}

bool isHexDigest(const QString& text) {
    if (text.size() != 64) {
        return false;
    }
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool hex =
            (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
        if (!hex) {
            return false;
        }
    }
    return true;
}

// A decimal integer with an optional leading sign, within the signed 64-bit range.
std::optional<qint64> signedInteger(QStringView piece) {
    bool negative = false;
    if (!piece.isEmpty() && (piece.front() == u'+' || piece.front() == u'-')) {
        negative = piece.front() == u'-';
        piece = piece.sliced(1);
    }
    if (piece.isEmpty()) {
        return std::nullopt;
    }
    // Accumulate negatively so that the most negative value is reachable.
    constexpr qint64 min = std::numeric_limits<qint64>::min();
    qint64 value = 0;
    for (const QChar c : piece) {
        const char16_t u = c.unicode();
        if (u < u'0' || u > u'9') {
            return std::nullopt;
        }
        const int digit = u - u'0';
        if (value < (min + digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == min) {
            return std::nullopt;
        }
        value = -value;
    }
    return value;
}

template <typename Predicate>
QList<AppManifestItem> appsWhere(const LauncherManifest& from, Predicate predicate) {
    QList<AppManifestItem> result;
    for (const AppManifestItem& app : from.apps) {
        if (predicate(app)) {
            result.append(app);
        }
    }
    return result;
}

} // namespace

QList<AppManifestItem> visibleApps(const LauncherManifest& from, bool includeBeta) {
    return appsWhere(from, [&](const AppManifestItem& app) { return isVisible(app, includeBeta); });
}

bool hasPublishedRelease(const AppManifestItem& app) {
    return (app.status == AppReleaseStatus::beta || app.status == AppReleaseStatus::live) &&
           app.downloadUrl.has_value() && app.sha256.has_value() && isHexDigest(*app.sha256) &&
           !app.version.trimmed().isEmpty() && macOSVersion(app.minMacOS).has_value();
}

QList<AppManifestItem> publishedApps(const LauncherManifest& from, bool includeBeta) {
    return appsWhere(from, [&](const AppManifestItem& app) {
        return isVisible(app, includeBeta) && hasPublishedRelease(app);
    });
}

QList<AppManifestItem> comingSoonApps(const LauncherManifest& from) {
    return appsWhere(from, [](const AppManifestItem& app) {
        return isVisible(app, true) && app.status == AppReleaseStatus::comingSoon;
    });
}

CatalogLifecycle catalogLifecycle(const LauncherManifest& from, bool includeBeta) {
    CatalogLifecycle lifecycle;
    bool anyVisible = false;
    for (const AppManifestItem& app : from.apps) {
        if (!isVisible(app, includeBeta)) {
            continue;
        }
        anyVisible = true;
        if (hasPublishedRelease(app)) {
            lifecycle.publishedApps.append(app);
        } else if (app.status == AppReleaseStatus::comingSoon) {
            lifecycle.comingSoonApps.append(app);
        }
    }
    if (!anyVisible) {
        lifecycle.kind = CatalogLifecycleKind::empty;
    } else if (lifecycle.publishedApps.isEmpty()) {
        lifecycle.kind = CatalogLifecycleKind::comingSoonOnly;
    } else {
        lifecycle.kind = lifecycle.publishedApps.size() == 1
                             ? CatalogLifecycleKind::firstPublishedApp
                             : CatalogLifecycleKind::multiAppCatalog;
        lifecycle.featuredApp = lifecycle.publishedApps.first();
    }
    return lifecycle;
}

QList<LauncherAnnouncement> unseenAnnouncements(const LauncherManifest& from,
                                                const QSet<QString>& seenIDs) {
    QList<LauncherAnnouncement> result;
    for (const LauncherAnnouncement& announcement : from.announcements) {
        if (!seenIDs.contains(announcement.id)) {
            result.append(announcement);
        }
    }
    return result;
}

std::optional<OperatingSystemVersion> macOSVersion(QStringView from) {
    const QString trimmed = from.trimmed().toString();
    const QStringList pieces = trimmed.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (pieces.isEmpty() || pieces.size() > 3) {
        return std::nullopt;
    }
    qint64 parts[3] = {0, 0, 0};
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const std::optional<qint64> number = signedInteger(pieces[i]);
        if (!number) {
            return std::nullopt;
        }
        parts[i] = *number;
    }
    return OperatingSystemVersion{parts[0], parts[1], parts[2]};
}

} // namespace ManifestPolicy

} // namespace nimbara
