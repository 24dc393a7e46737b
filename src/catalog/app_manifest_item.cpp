#include "catalog/app_manifest_item.h"

#include "catalog/optional_hash.h"

namespace nimbara {

size_t qHash(const ReleaseNote& note, size_t seed) {
    return qHashMulti(seed, note.version, note.date, note.text);
}

size_t qHash(const AppManifestItem& item, size_t seed) {
    return qHashMulti(seed, item.id, item.name, item.tagline, item.category, item.bundleId,
                      item.version, item.minMacOS, item.status, qHashOptional(item.downloadUrl),
                      qHashOptional(item.sha256), qHashOptional(item.sparkleFeedUrl),
                      item.symbolName, qHashOptional(item.iconUrl), item.accent, item.tags,
                      item.description, item.privacyNote, item.releaseNotes);
}

} // namespace nimbara
