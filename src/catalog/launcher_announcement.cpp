#include "catalog/launcher_announcement.h"

#include "catalog/optional_hash.h"

namespace nimbara {

size_t qHash(const LauncherAnnouncement& announcement, size_t seed) {
    return qHashMulti(seed, announcement.id, announcement.appId, announcement.appName,
                      announcement.kind, announcement.title, announcement.body,
                      qHashOptional(announcement.version), qHashOptional(announcement.publishedAt));
}

} // namespace nimbara
