#include "presentation/shell_rules.h"

#include <QSet>
#include <algorithm>

namespace nimbara {

bool codePointLess(const QString& a, const QString& b) {
    const QList<uint> left = a.toUcs4();
    const QList<uint> right = b.toUcs4();
    return std::lexicographical_compare(left.cbegin(), left.cend(), right.cbegin(), right.cend());
}

QStringList sortedCategories(const QList<AppManifestItem>& visibleApps) {
    QSet<QString> seen;
    QStringList categories;
    for (const AppManifestItem& app : visibleApps) {
        if (!seen.contains(app.category)) {
            seen.insert(app.category);
            categories.append(app.category);
        }
    }
    std::sort(categories.begin(), categories.end(), codePointLess);
    return categories;
}

std::optional<AppManifestItem> announcedApp(const LauncherAnnouncement& announcement,
                                            const QList<AppManifestItem>& visibleApps) {
    for (const AppManifestItem& app : visibleApps) {
        if (app.id == announcement.appId) {
            return app;
        }
    }
    return std::nullopt;
}

} // namespace nimbara
