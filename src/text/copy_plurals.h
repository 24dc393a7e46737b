#pragma once

#include "text/copy_key.h"
#include "text/nimbara_locale.h"

#include <QStringView>
#include <QtGlobal>
#include <optional>

namespace nimbara {

// Which form of a counted text a number takes. English and German know one and many ("other");
// Polish also has few: 2-4, 22-24, 32-34, ... but not 12-14.
enum class PluralCategory { one, few, many };

PluralCategory pluralCategory(NimbaraLocale locale, qint64 count);

// The forms of a text with a {{count}} placeholder in one language. `few` is empty in languages
// that do not have it.
struct PluralForms {
    QStringView one;
    QStringView few;
    QStringView many;

    // The form for `category`; few falls back to many where the language has no few.
    QStringView form(PluralCategory category) const;
};

namespace copy_table {
// The forms of `key` in `locale`, or none when its text does not depend on a count.
std::optional<PluralForms> plurals(CopyKey key, NimbaraLocale locale);
} // namespace copy_table

} // namespace nimbara
