#include "text/copy_key.h"

#include <QHash>
#include <QString>
#include <array>

namespace nimbara {

namespace {

#define NIMBARA_COPY_KEY_RAW(name) QLatin1StringView(#name),
constexpr std::array kRawValues = {NIMBARA_COPY_KEYS(NIMBARA_COPY_KEY_RAW)};
#undef NIMBARA_COPY_KEY_RAW

} // namespace

namespace CopyKeys {

const QList<CopyKey>& allCases() {
    static const QList<CopyKey> keys = {
#define NIMBARA_COPY_KEY_CASE(name) CopyKey::name,
        NIMBARA_COPY_KEYS(NIMBARA_COPY_KEY_CASE)
#undef NIMBARA_COPY_KEY_CASE
    };
    return keys;
}

QLatin1StringView rawValue(CopyKey key) {
    const auto index = static_cast<std::size_t>(key);
    return index < kRawValues.size() ? kRawValues[index] : QLatin1StringView();
}

std::optional<CopyKey> fromRaw(QStringView raw) {
    static const QHash<QString, CopyKey> byRaw = [] {
        QHash<QString, CopyKey> index;
        for (const CopyKey key : allCases()) {
            index.insert(QString(rawValue(key)), key);
        }
        return index;
    }();
    const auto found = byRaw.constFind(raw.toString());
    if (found == byRaw.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

} // namespace CopyKeys

} // namespace nimbara
