#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringView>
#include <QUrl>
#include <optional>

namespace nimbara {

// The shared "nimbara" JSON settings: every document the system writes (request bodies,
// events, the catalog) is pretty-printed with its object keys sorted, and date-times are
// written as internet date-times in UTC.

// Pretty-printed UTF-8 JSON with sorted keys (QJsonObject keeps its keys sorted).
QByteArray encodeNimbaraJson(const QJsonObject& object);
QByteArray encodeNimbaraJson(const QJsonArray& array);
// Any value, scalars included ("true", "\"text\"", "12").
QByteArray encodeNimbaraJson(const QJsonValue& value);

// "2026-05-03T00:00:00Z": the instant in UTC, to whole seconds (any milliseconds are dropped,
// rounding towards the past). An invalid date-time gives the empty string.
QString formatIso8601(const QDateTime& instant);

// Accepts exactly "YYYY-MM-DDTHH:MM:SS" followed by "Z" or "+HH:MM" / "-HH:MM": no fractional
// seconds, no missing zone, upper-case T and Z only, every field within its range (day
// within its month, no leap second). The result is the instant in UTC, so
// "2026-05-03T02:00:00+02:00" equals "2026-05-03T00:00:00Z". An instant whose UTC form falls
// outside the years 1 to 9999 ("0001-01-01T00:00:00+01:00") is refused: it could not be written
// back as an internet date-time.
std::optional<QDateTime> parseIso8601(QStringView text);

// An absolute URL: parsed in strict mode, valid and with a scheme. The empty string and
// relative references ("/path", "example.com") give no value.
std::optional<QUrl> parseAbsoluteUrl(const QString& text);

} // namespace nimbara
