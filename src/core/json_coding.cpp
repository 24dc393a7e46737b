#include "core/json_coding.h"

#include <QDate>
#include <QJsonDocument>

namespace nimbara {

namespace {

constexpr qint64 secondsPerDay = 86400;
constexpr qint64 unixEpochJulianDay = 2440588; // 1970-01-01
// The instants whose UTC form has a four-digit year: 0001-01-01T00:00:00Z to
// 9999-12-31T23:59:59Z. Only these can be written back in the form they were read in.
constexpr qint64 firstFourDigitYearSecond = -62135596800;
constexpr qint64 lastFourDigitYearSecond = 253402300799;

// The value of `count` decimal digits at `position`, or -1 if any of them is not a digit.
int digitsAt(QStringView text, qsizetype position, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const char16_t c = text[position + i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

bool charAt(QStringView text, qsizetype position, char16_t expected) {
    return text[position].unicode() == expected;
}

} // namespace

QByteArray encodeNimbaraJson(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

QByteArray encodeNimbaraJson(const QJsonArray& array) {
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

QByteArray encodeNimbaraJson(const QJsonValue& value) {
    if (value.isObject())
        return encodeNimbaraJson(value.toObject());
    if (value.isArray())
        return encodeNimbaraJson(value.toArray());
    // A document holds only objects and arrays: write the scalar as the single element of an
    // array and keep what lies between the brackets.
    const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

QString formatIso8601(const QDateTime& instant) {
    if (!instant.isValid())
        return {};
    const qint64 milliseconds = instant.toMSecsSinceEpoch();
    qint64 seconds = milliseconds / 1000;
    if (milliseconds % 1000 < 0)
        --seconds;
    qint64 days = seconds / secondsPerDay;
    qint64 secondOfDay = seconds % secondsPerDay;
    if (secondOfDay < 0) {
        secondOfDay += secondsPerDay;
        --days;
    }
    const QDate date = QDate::fromJulianDay(unixEpochJulianDay + days);
    return QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02dZ", date.year(), date.month(),
                             date.day(), int(secondOfDay / 3600), int(secondOfDay / 60 % 60),
                             int(secondOfDay % 60));
}

std::optional<QDateTime> parseIso8601(QStringView text) {
    // 2026-05-03T00:00:00Z or 2026-05-03T00:00:00+02:00
    //           1111111111222222
    // 01234567890123456789012345
    if (text.size() != 20 && text.size() != 25)
        return std::nullopt;
    if (!charAt(text, 4, u'-') || !charAt(text, 7, u'-') || !charAt(text, 10, u'T') ||
        !charAt(text, 13, u':') || !charAt(text, 16, u':'))
        return std::nullopt;
    const int year = digitsAt(text, 0, 4);
    const int month = digitsAt(text, 5, 2);
    const int day = digitsAt(text, 8, 2);
    const int hour = digitsAt(text, 11, 2);
    const int minute = digitsAt(text, 14, 2);
    const int second = digitsAt(text, 17, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59)
        return std::nullopt;
    const QDate date(year, month, day); // invalid for month 0/13, day 0, 31 June, 29 Feb 2026
    if (!date.isValid())
        return std::nullopt;

    qint64 offsetSeconds = 0;
    if (text.size() == 20) {
        if (!charAt(text, 19, u'Z'))
            return std::nullopt;
    } else {
        const bool plus = charAt(text, 19, u'+');
        if ((!plus && !charAt(text, 19, u'-')) || !charAt(text, 22, u':'))
            return std::nullopt;
        const int offsetHours = digitsAt(text, 20, 2);
        const int offsetMinutes = digitsAt(text, 23, 2);
        if (offsetHours < 0 || offsetHours > 23 || offsetMinutes < 0 || offsetMinutes > 59)
            return std::nullopt;
        offsetSeconds = (offsetHours * 3600 + offsetMinutes * 60) * (plus ? 1 : -1);
    }

    const qint64 localSeconds = (date.toJulianDay() - unixEpochJulianDay) * secondsPerDay +
                                hour * 3600 + minute * 60 + second;
    const qint64 utcSeconds = localSeconds - offsetSeconds;
    if (utcSeconds < firstFourDigitYearSecond || utcSeconds > lastFourDigitYearSecond)
        return std::nullopt;
    return QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::UTC);
}

std::optional<QUrl> parseAbsoluteUrl(const QString& text) {
    QUrl url(text, QUrl::StrictMode);
    // A relative reference is one without a scheme.
    if (!url.isValid() || url.isRelative())
        return std::nullopt;
    return url;
}

} // namespace nimbara
