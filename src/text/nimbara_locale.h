#pragma once

#include <QLatin1StringView>
#include <QList>
#include <QString>

#include <optional>

namespace nimbara {

// The languages of every user-visible text, in the order the language picker lists them.
enum class NimbaraLocale { en, pl, de };

namespace NimbaraLocales {
// en, pl, de.
const QList<NimbaraLocale>& allCases();
// The two-letter code: "en", "pl" or "de".
QLatin1StringView rawValue(NimbaraLocale locale);
// Accepts only an exact, lower-case code.
std::optional<NimbaraLocale> fromRaw(QStringView raw);
// Maps a language identifier as the system reports it (e.g. "pl-PL") to a locale:
// none -> en; lower-cased "en"/"pl"/"de" -> that locale; "pl-…" -> pl; "de-…" -> de; else en.
NimbaraLocale normalized(const std::optional<QString>& identifier);
} // namespace NimbaraLocales

} // namespace nimbara
