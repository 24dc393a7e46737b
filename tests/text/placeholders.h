#pragma once

#include <QRegularExpression>
#include <QSet>
#include <QString>

namespace nimbara::test {

// The names of the {{name}} placeholders in a text.
inline QSet<QString> placeholders(QStringView text) {
    static const QRegularExpression pattern(QStringLiteral("\\{\\{([A-Za-z]+)\\}\\}"));
    QSet<QString> names;
    for (const auto& match : pattern.globalMatch(text)) {
        names.insert(match.captured(1));
    }
    return names;
}

} // namespace nimbara::test
