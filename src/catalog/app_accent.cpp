#include "catalog/app_accent.h"

#include "core/enum_names.h"

namespace nimbara::AppAccents {

using namespace Qt::StringLiterals;

namespace {
constexpr EnumNames<AppAccent, 5> kNames({"lime"_L1, "violet"_L1, "amber"_L1, "blue"_L1,
                                          "cyan"_L1});
} // namespace

const QList<AppAccent>& allCases() {
    static const QList<AppAccent> cases = kNames.allCases();
    return cases;
}

QLatin1StringView rawValue(AppAccent accent) {
    return kNames.rawValue(accent);
}

std::optional<AppAccent> fromRaw(QStringView raw) {
    return kNames.fromRaw(raw);
}

} // namespace nimbara::AppAccents
