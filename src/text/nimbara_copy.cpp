#include "text/nimbara_copy.h"

#include "text/copy_plurals.h"
#include "text/copy_table.h"

#include <array>
#include <cstddef>
#include <utility>

namespace nimbara {

namespace {

#define NIMBARA_COPY_KEY_ONE(name) +1
constexpr std::size_t kKeyCount = 0 NIMBARA_COPY_KEYS(NIMBARA_COPY_KEY_ONE);
#undef NIMBARA_COPY_KEY_ONE

constexpr std::size_t kLocaleCount = 3;

// Locale -> key -> template, both indexed by the enumerations' declaration order.
using Messages = std::array<std::array<QString, kKeyCount>, kLocaleCount>;

std::size_t indexOf(NimbaraLocale locale) {
    return static_cast<std::size_t>(locale);
}

// Built on first use; C++ guarantees that the initialisation of a function-local static runs
// exactly once even when several threads arrive together. Read-only afterwards.
const Messages& messages() {
    static const Messages table = [] {
        Messages built;
        for (const CopyKey key : CopyKeys::allCases()) {
            const auto index = static_cast<std::size_t>(key);
            built[indexOf(NimbaraLocale::en)][index] = copy_table::english(key).toString();
            built[indexOf(NimbaraLocale::pl)][index] = copy_table::polish(key).toString();
            built[indexOf(NimbaraLocale::de)][index] = copy_table::german(key).toString();
        }
        return built;
    }();
    return table;
}

} // namespace

QString NimbaraCopy::templateFor(CopyKey key, NimbaraLocale locale) {
    const auto keyIndex = static_cast<std::size_t>(key);
    const auto localeIndex = indexOf(locale);
    if (keyIndex >= kKeyCount || localeIndex >= kLocaleCount) {
        return {};
    }
    return messages()[localeIndex][keyIndex];
}

QString NimbaraCopy::pluralTemplate(CopyKey key, NimbaraLocale locale, qint64 count) {
    const std::optional<PluralForms> forms = copy_table::plurals(key, locale);
    return forms ? forms->form(pluralCategory(locale, count)).toString() : templateFor(key, locale);
}

QString NimbaraCopy::counted(CopyKey key, NimbaraLocale locale, qint64 count, CopyValues values) {
    values.insert(QStringLiteral("count"), QString::number(count));
    return text(key, locale, values);
}

QString NimbaraCopy::text(CopyKey key, NimbaraLocale locale, const CopyValues& values) {
    bool isNumber = false;
    const qint64 count = values.value(QStringLiteral("count")).toLongLong(&isNumber);
    QString result = isNumber ? pluralTemplate(key, locale, count) : templateFor(key, locale);
    if (result.isEmpty()) {
        result = templateFor(key, NimbaraLocale::en);
    }
    if (result.isEmpty()) {
        result = QString(CopyKeys::rawValue(key));
    }
    return filled(std::move(result), values);
}

QString NimbaraCopy::filled(QString templateText, const CopyValues& values) {
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QString placeholder = QStringLiteral("{{") + it.key() + QStringLiteral("}}");
        templateText.replace(placeholder, it.value(), Qt::CaseSensitive);
    }
    return templateText;
}

} // namespace nimbara
