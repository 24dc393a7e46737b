#include "platform/preferred_languages.h"

#include <QStringList>

namespace nimbara {

namespace {

// The first non-empty setting, in the order in which gettext consults them.
QString firstLocaleSetting() {
    const QStringList languages =
        qEnvironmentVariable("LANGUAGE").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (!languages.isEmpty()) {
        return languages.first();
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty()) {
            return value;
        }
    }
    return {};
}

} // namespace

std::optional<QString> preferredLanguageIdentifier() {
    QString identifier = firstLocaleSetting();
    // language[_territory][.codeset][@modifier]
    for (const QChar separator : {QLatin1Char('.'), QLatin1Char('@')}) {
        const qsizetype end = identifier.indexOf(separator);
        if (end >= 0) {
            identifier.truncate(end);
        }
    }
    if (identifier.isEmpty() || identifier == QLatin1StringView("C") ||
        identifier == QLatin1StringView("POSIX")) {
        return std::nullopt;
    }
    identifier.replace(QLatin1Char('_'), QLatin1Char('-'));
    return identifier;
}

NimbaraLocale systemLocale() {
    return NimbaraLocales::normalized(preferredLanguageIdentifier());
}

} // namespace nimbara
