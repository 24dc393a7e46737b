#pragma once

#include <QString>
#include <QStringList>

namespace nimbara::bench {

// `count` words from a small fixed vocabulary (some of it non-ASCII), chosen by `seed`, so
// that generated catalogs have varied but repeatable text.
inline QString words(int seed, int count) {
    static const QStringList vocabulary{
        QStringLiteral("quick"),     QStringLiteral("notes"),    QStringLiteral("focus"),
        QStringLiteral("private"),   QStringLiteral("offline"),  QStringLiteral("menu"),
        QStringLiteral("bar"),       QStringLiteral("keyboard"), QStringLiteral("zażółć"),
        QStringLiteral("Grüße"),     QStringLiteral("timer"),    QStringLiteral("clipboard"),
        QStringLiteral("sync-free"), QStringLiteral("window"),   QStringLiteral("shortcut")};
    QStringList chosen;
    for (int i = 0; i < count; ++i) {
        chosen.append(vocabulary[(seed * 7 + i * 13) % vocabulary.size()]);
    }
    return chosen.join(QLatin1Char(' '));
}

} // namespace nimbara::bench
