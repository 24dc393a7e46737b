#include "text/nimbara_locale.h"

#include "core/enum_names.h"

namespace nimbara::NimbaraLocales {

namespace {
constexpr EnumNames<NimbaraLocale, 3> kNames({QLatin1StringView("en"), QLatin1StringView("pl"),
                                              QLatin1StringView("de")});
} // namespace

const QList<NimbaraLocale>& allCases() {
    static const QList<NimbaraLocale> locales = kNames.allCases();
    return locales;
}

QLatin1StringView rawValue(NimbaraLocale locale) {
    return kNames.rawValue(locale);
}

std::optional<NimbaraLocale> fromRaw(QStringView raw) {
    return kNames.fromRaw(raw);
}

NimbaraLocale normalized(const std::optional<QString>& identifier) {
    if (!identifier) {
        return NimbaraLocale::en;
    }
    const QString lowered = identifier->toLower();
    if (const auto exact = fromRaw(lowered)) {
        return *exact;
    }
    // Only a hyphen separates the region: "pl_PL" is not Polish here.
    if (lowered.startsWith(QLatin1StringView("pl-"))) {
        return NimbaraLocale::pl;
    }
    if (lowered.startsWith(QLatin1StringView("de-"))) {
        return NimbaraLocale::de;
    }
    return NimbaraLocale::en;
}

} // namespace nimbara::NimbaraLocales
