#include "services/desktop_entry_text.h"

#include <algorithm>

namespace nimbara {

namespace {

// Characters that make an Exec argument need double quotes.
bool isReserved(QChar c) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

// A desktop entry's string escaping: backslash and the control characters it can spell.
QString escapedString(const QString& value) {
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\\':
            escaped += QStringLiteral("\\\\");
            break;
        case u'\n':
            escaped += QStringLiteral("\\n");
            break;
        case u'\t':
            escaped += QStringLiteral("\\t");
            break;
        case u'\r':
            escaped += QStringLiteral("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

QString desktopEntryString(const QString& value) {
    return escapedString(value);
}

QString desktopEntryExec(const QString& program) {
    QString word = program;
    if (std::any_of(program.cbegin(), program.cend(), isReserved)) {
        word.clear();
        for (const QChar c : program) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
                word += u'\\';
            }
            word += c;
        }
        word = u'"' + word + u'"';
    }
    word.replace(u'%', QStringLiteral("%%"));
    return escapedString(word);
}

} // namespace nimbara
