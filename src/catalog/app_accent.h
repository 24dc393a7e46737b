#pragma once

#include <QHashFunctions>
#include <QLatin1StringView>
#include <QList>
#include <QStringView>
#include <optional>

namespace nimbara {

// The accent colour of a catalog app's icon and badges; the raw values are the case names.
enum class AppAccent { lime, violet, amber, blue, cyan };

namespace AppAccents {
// lime, violet, amber, blue, cyan.
const QList<AppAccent>& allCases();
QLatin1StringView rawValue(AppAccent accent);
// The case whose raw value is exactly `raw` (case-sensitive), if any.
std::optional<AppAccent> fromRaw(QStringView raw);
} // namespace AppAccents

inline size_t qHash(AppAccent accent, size_t seed = 0) noexcept {
    return ::qHash(static_cast<int>(accent), seed);
}

} // namespace nimbara
