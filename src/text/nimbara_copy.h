#pragma once

#include "text/copy_key.h"
#include "text/nimbara_locale.h"

#include <QHash>
#include <QString>

namespace nimbara {

// Placeholder values: name -> replacement text.
using CopyValues = QHash<QString, QString>;

// The text table: an English, Polish and German template per key, built once on first use
// (thread-safe) and read-only afterwards.
class NimbaraCopy {
public:
    // The template of `key` in `locale` (falling back to English, then to the key's raw value),
    // with every "{{name}}" of a supplied value replaced literally. Placeholders without a value
    // stay as written; values whose name does not occur have no effect. When `values` holds a
    // whole number under "count", the key's plural form for that number is filled instead.
    static QString text(CopyKey key, NimbaraLocale locale, const CopyValues& values = {});

    // text() with `count` as the "count" value.
    static QString counted(CopyKey key, NimbaraLocale locale, qint64 count, CopyValues values = {});

    // The form of `key` in `locale` that `count` takes; templateFor() when the key has no plural
    // forms there.
    static QString pluralTemplate(CopyKey key, NimbaraLocale locale, qint64 count);

    // The raw template, without filling; empty when the table has none for that locale.
    static QString templateFor(CopyKey key, NimbaraLocale locale);

    // `templateText` with every "{{name}}" of a supplied value replaced literally, one pair after
    // another, in no particular order.
    static QString filled(QString templateText, const CopyValues& values);
};

} // namespace nimbara
