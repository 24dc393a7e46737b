#include "text/copy_key.h"

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


} // namespace CopyKeys

} // namespace nimbara
