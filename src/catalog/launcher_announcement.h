#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace nimbara {

// The announcement of a newly published app. Lists are identified by `id`; equality and
// hashing cover every field.
struct LauncherAnnouncement {
    QString id;
    QString appId;
    QString appName;
    QString kind;
    QString title;
    QString body;
    std::optional<QString> version;
    std::optional<QDateTime> publishedAt;

    bool operator==(const LauncherAnnouncement&) const = default;
};

size_t qHash(const LauncherAnnouncement& announcement, size_t seed = 0);

} // namespace nimbara
