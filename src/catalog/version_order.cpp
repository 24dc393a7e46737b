#include "catalog/version_order.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QVarLengthArray>
#include <cstdint>
#include <limits>
#include <optional>

namespace nimbara {

namespace {

// A base-10 integer of ASCII digits only, within the signed 64-bit range; otherwise none.
std::optional<std::int64_t> asciiInteger(QStringView text) {
    if (text.isEmpty()) {
        return std::nullopt;
    }
    constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < u'0' || u > u'9') {
            return std::nullopt;
        }
        const int digit = u - u'0';
        if (value > (max - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    return value;
}

bool isAscii(QStringView text) {
    for (const QChar c : text) {
        if (c.unicode() > 0x7f) {
            return false;
        }
    }
    return true;
}

// One pre-release token: a number, or a lower-case text run (a view into the owner's buffer).
struct Token {
    bool isNumber = false;
    std::int64_t number = 0;
    QStringView text;
};

struct ParsedVersion {
    QVarLengthArray<std::int64_t, 8> core;
    bool hasPrerelease = false;
    QString loweredPrerelease; // owns the text the tokens point into
    QVarLengthArray<Token, 8> tokens;
};

bool isMark(char32_t codePoint) {
    const QChar::Category category = QChar::category(codePoint);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
           category == QChar::Mark_Enclosing;
}

// Splits the lower-cased pre-release text into maximal runs of letters and numbers. A
// combining mark belongs to the character before it, so it continues a run rather than
// ending it.
void tokenize(ParsedVersion& parsed) {
    const QStringView text = parsed.loweredPrerelease;
    qsizetype runStart = -1;
    qsizetype i = 0;
    auto closeRun = [&](qsizetype end) {
        if (runStart >= 0 && end > runStart) {
            Token token;
            token.text = text.sliced(runStart, end - runStart);
            if (const auto number = asciiInteger(token.text)) {
                token.isNumber = true;
                token.number = *number;
            }
            parsed.tokens.append(token);
        }
        runStart = -1;
    };
    while (i < text.size()) {
        char32_t codePoint = text[i].unicode();
        qsizetype width = 1;
        if (QChar::isHighSurrogate(codePoint) && i + 1 < text.size() &&
            text[i + 1].isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text[i], text[i + 1]);
            width = 2;
        }
        if (QChar::isLetterOrNumber(codePoint)) {
            if (runStart < 0) {
                runStart = i;
            }
        } else if (!(runStart >= 0 && isMark(codePoint))) {
            closeRun(i);
        }
        i += width;
    }
    closeRun(text.size());
}

void parse(QStringView text, ParsedVersion& parsed) {
    if (const qsizetype plus = text.indexOf(u'+'); plus >= 0) {
        text = text.first(plus);
    }
    QStringView coreText = text;
    if (const qsizetype dash = text.indexOf(u'-'); dash >= 0) {
        coreText = text.first(dash);
        parsed.hasPrerelease = true;
        parsed.loweredPrerelease = text.sliced(dash + 1).toString().toLower();
        if (!isAscii(parsed.loweredPrerelease)) {
            // Canonically equivalent spellings must compare equal.
            parsed.loweredPrerelease =
                parsed.loweredPrerelease.normalized(QString::NormalizationForm_C);
        }
        tokenize(parsed);
    }
    qsizetype start = 0;
    while (start <= coreText.size()) {
        qsizetype end = coreText.indexOf(u'.', start);
        if (end < 0) {
            end = coreText.size();
        }
        if (end > start) {
            parsed.core.append(asciiInteger(coreText.sliced(start, end - start)).value_or(0));
        }
        start = end + 1;
    }
}

template <typename T> VersionOrder order(const T& a, const T& b) {
    if (a < b) {
        return VersionOrder::ascending;
    }
    if (b < a) {
        return VersionOrder::descending;
    }
    return VersionOrder::same;
}

// Character by character by Unicode scalar value (tokens are already in composed form).
VersionOrder compareText(QStringView a, QStringView b) {
    if (isAscii(a) && isAscii(b)) {
        return order(a.compare(b), 0);
    }
    return order(a.toUcs4(), b.toUcs4());
}

VersionOrder compareTokens(const Token& a, const Token& b) {
    if (a.isNumber && b.isNumber) {
        return order(a.number, b.number);
    }
    if (a.isNumber) {
        return VersionOrder::ascending;
    }
    if (b.isNumber) {
        return VersionOrder::descending;
    }
    return compareText(a.text, b.text);
}

} // namespace

VersionOrder compareVersions(QStringView first, QStringView second) {
    ParsedVersion a;
    ParsedVersion b;
    parse(first, a);
    parse(second, b);

    const qsizetype coreLength = std::max(a.core.size(), b.core.size());
    for (qsizetype i = 0; i < coreLength; ++i) {
        const std::int64_t left = i < a.core.size() ? a.core[i] : 0;
        const std::int64_t right = i < b.core.size() ? b.core[i] : 0;
        if (const VersionOrder result = order(left, right); result != VersionOrder::same) {
            return result;
        }
    }

    if (!a.hasPrerelease || !b.hasPrerelease) {
        if (a.hasPrerelease == b.hasPrerelease) {
            return VersionOrder::same;
        }
        return a.hasPrerelease ? VersionOrder::ascending : VersionOrder::descending;
    }

    const qsizetype tokenLength = std::max(a.tokens.size(), b.tokens.size());
    for (qsizetype i = 0; i < tokenLength; ++i) {
        if (i == a.tokens.size()) {
            return VersionOrder::ascending;
        }
        if (i == b.tokens.size()) {
            return VersionOrder::descending;
        }
        if (const VersionOrder result = compareTokens(a.tokens[i], b.tokens[i]);
            result != VersionOrder::same) {
            return result;
        }
    }
    return VersionOrder::same;
}

} // namespace nimbara
