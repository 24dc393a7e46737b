#include "text/nimbara_locale.h"

namespace nimbara::NimbaraLocales {

const QList<NimbaraLocale>& allCases() {
    static const QList<NimbaraLocale> locales = {NimbaraLocale::en, NimbaraLocale::pl,
                                                 NimbaraLocale::de};
    return locales;
}

QLatin1StringView rawValue(NimbaraLocale locale) {
    switch (locale) {
    case NimbaraLocale::en:
        return QLatin1StringView("en");
    case NimbaraLocale::pl:
        return QLatin1StringView("pl");
    case NimbaraLocale::de:
        return QLatin1StringView("de");
    }
    return {};
}

std::optional<NimbaraLocale> fromRaw(QStringView raw) {
    for (const NimbaraLocale locale : allCases()) {
        if (raw == rawValue(locale)) {
            return locale;
        }
    }
    return std::nullopt;
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
