#include "core/json_reader.h"

#include "core/json_coding.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QVarLengthArray>
#include <cmath>

namespace nimbara {

namespace {

using Kind = DecodingError::Kind;

QString typeName(QJsonValue::Type type) {
    switch (type) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("a boolean");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::String:
        return QStringLiteral("a string");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
}

[[noreturn]] void raise(Kind kind, const JsonPath& path, const QString& message) {
    throw DecodingError(kind, path.toString(), message);
}

[[noreturn]] void raiseTypeMismatch(const JsonPath& path, QJsonValue::Type expected,
                                    QJsonValue::Type found) {
    raise(Kind::typeMismatch, path,
          QStringLiteral("expected %1, found %2").arg(typeName(expected), typeName(found)));
}

// Integers beyond 2^53 are not represented exactly by a JSON number read as a double.
constexpr double largestExactInteger = 9007199254740992.0;

std::optional<qint64> exactInteger(double number) {
    if (std::trunc(number) != number || std::fabs(number) > largestExactInteger)
        return std::nullopt;
    return static_cast<qint64>(number);
}

} // namespace

QString JsonPath::toString() const {
    QVarLengthArray<const JsonPath*, 16> links;
    for (const JsonPath* link = this; link != nullptr; link = link->parent_)
        links.append(link);
    QString text;
    for (auto it = links.crbegin(); it != links.crend(); ++it) {
        const JsonPath& link = **it;
        if (link.index_ >= 0) {
            text += QLatin1Char('[') + QString::number(link.index_) + QLatin1Char(']');
        } else if (!link.key_.isEmpty()) {
            if (!text.isEmpty())
                text += QLatin1Char('.');
            text += link.key_;
        }
    }
    return text;
}

QJsonObject parseJsonObject(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        throw DecodingError(Kind::dataCorrupted, {},
                            QStringLiteral("invalid JSON: %1 at offset %2")
                                .arg(error.errorString())
                                .arg(error.offset));
    }
    if (!document.isObject()) {
        throw DecodingError(
            Kind::typeMismatch, {},
            QStringLiteral("expected an object at the top level, found %1")
                .arg(typeName(document.isArray() ? QJsonValue::Array : QJsonValue::Null)));
    }
    return document.object();
}

QJsonValueConstRef JsonReader::requiredValue(QLatin1StringView key, QJsonValue::Type type) const {
    const auto member = object_.constFind(key);
    if (member == object_.constEnd()) [[unlikely]]
        raise(Kind::keyNotFound, path_.member(key), QStringLiteral("missing key"));
    const QJsonValueConstRef value = *member;
    const QJsonValue::Type found = value.type();
    if (found == type) [[likely]]
        return value;
    if (found == QJsonValue::Null)
        raise(Kind::valueNotFound, path_.member(key),
              QStringLiteral("null value for required key"));
    raiseTypeMismatch(path_.member(key), type, found);
}

std::optional<QJsonValueConstRef> JsonReader::optionalValue(QLatin1StringView key,
                                                            QJsonValue::Type type) const {
    const auto member = object_.constFind(key);
    if (member == object_.constEnd())
        return std::nullopt;
    const QJsonValueConstRef value = *member;
    const QJsonValue::Type found = value.type();
    if (found == type) [[likely]]
        return value;
    if (found == QJsonValue::Null)
        return std::nullopt;
    raiseTypeMismatch(path_.member(key), type, found);
}

void JsonReader::fail(QLatin1StringView key, const QString& message) const {
    raise(Kind::dataCorrupted, path_.member(key), message);
}

void JsonReader::failRawValue(QLatin1StringView key, const QString& raw) const {
    fail(key, QStringLiteral("invalid raw value %1").arg(renderedString(raw)));
}

void JsonReader::failElementType(const JsonPath& path, QJsonValue::Type found,
                                 QJsonValue::Type expected) {
    raiseTypeMismatch(path, expected, found);
}

QString JsonReader::requiredString(QLatin1StringView key) const {
    return requiredValue(key, QJsonValue::String).toString();
}

std::optional<QString> JsonReader::optionalString(QLatin1StringView key) const {
    const std::optional<QJsonValueConstRef> value = optionalValue(key, QJsonValue::String);
    if (!value)
        return std::nullopt;
    return value->toString();
}

bool JsonReader::requiredBool(QLatin1StringView key) const {
    return requiredValue(key, QJsonValue::Bool).toBool();
}

std::optional<bool> JsonReader::optionalBool(QLatin1StringView key) const {
    const std::optional<QJsonValueConstRef> value = optionalValue(key, QJsonValue::Bool);
    if (!value)
        return std::nullopt;
    return value->toBool();
}

double JsonReader::requiredNumber(QLatin1StringView key) const {
    return requiredValue(key, QJsonValue::Double).toDouble();
}

std::optional<double> JsonReader::optionalNumber(QLatin1StringView key) const {
    const std::optional<QJsonValueConstRef> value = optionalValue(key, QJsonValue::Double);
    if (!value)
        return std::nullopt;
    return value->toDouble();
}

std::optional<qint64> JsonReader::optionalInteger(QLatin1StringView key) const {
    const std::optional<double> number = optionalNumber(key);
    if (!number)
        return std::nullopt;
    const std::optional<qint64> integer = exactInteger(*number);
    if (!integer)
        fail(key, QStringLiteral("expected an integer, found %1").arg(*number));
    return integer;
}

QJsonArray JsonReader::requiredArray(QLatin1StringView key) const {
    return requiredValue(key, QJsonValue::Array).toArray();
}

std::optional<QJsonArray> JsonReader::optionalArray(QLatin1StringView key) const {
    const std::optional<QJsonValueConstRef> value = optionalValue(key, QJsonValue::Array);
    if (!value)
        return std::nullopt;
    return value->toArray();
}

QJsonObject JsonReader::requiredObject(QLatin1StringView key) const {
    return requiredValue(key, QJsonValue::Object).toObject();
}

std::optional<QJsonObject> JsonReader::optionalObject(QLatin1StringView key) const {
    const std::optional<QJsonValueConstRef> value = optionalValue(key, QJsonValue::Object);
    if (!value)
        return std::nullopt;
    return value->toObject();
}

namespace {

QStringList stringsOf(const QJsonArray& array, const JsonPath& arrayPath) {
    QStringList strings;
    strings.reserve(array.size());
    qsizetype index = 0;
    for (const QJsonValueConstRef value : array) {
        const QJsonValue::Type type = value.type();
        if (type != QJsonValue::String) [[unlikely]]
            raiseTypeMismatch(arrayPath.element(index), QJsonValue::String, type);
        strings.append(value.toString());
        ++index;
    }
    return strings;
}

} // namespace

QStringList JsonReader::requiredStringArray(QLatin1StringView key) const {
    return stringsOf(requiredArray(key), path_.member(key));
}

std::optional<QStringList> JsonReader::optionalStringArray(QLatin1StringView key) const {
    const std::optional<QJsonArray> array = optionalArray(key);
    if (!array)
        return std::nullopt;
    return stringsOf(*array, path_.member(key));
}

QDateTime JsonReader::requiredDateTime(QLatin1StringView key) const {
    const QString text = requiredString(key);
    std::optional<QDateTime> instant = parseIso8601(text);
    if (!instant)
        fail(key, QStringLiteral("invalid date-time %1").arg(renderedString(text)));
    return *std::move(instant);
}

std::optional<QDateTime> JsonReader::optionalDateTime(QLatin1StringView key) const {
    const std::optional<QString> text = optionalString(key);
    if (!text)
        return std::nullopt;
    std::optional<QDateTime> instant = parseIso8601(*text);
    if (!instant)
        fail(key, QStringLiteral("invalid date-time %1").arg(renderedString(*text)));
    return instant;
}

QUrl JsonReader::requiredUrl(QLatin1StringView key) const {
    const QString text = requiredString(key);
    std::optional<QUrl> url = parseAbsoluteUrl(text);
    if (!url)
        fail(key, QStringLiteral("invalid URL %1").arg(renderedString(text)));
    return *std::move(url);
}

std::optional<QUrl> JsonReader::optionalUrl(QLatin1StringView key) const {
    const std::optional<QString> text = optionalString(key);
    if (!text)
        return std::nullopt;
    std::optional<QUrl> url = parseAbsoluteUrl(*text);
    if (!url)
        fail(key, QStringLiteral("invalid URL %1").arg(renderedString(*text)));
    return url;
}

} // namespace nimbara
