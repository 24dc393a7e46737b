#pragma once

#include "core/decoding_error.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QJsonValueConstRef>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>
#include <utility>

namespace nimbara {

// Where a value sits inside a JSON document, e.g. "apps[2].status". A path is a chain of
// links that live on the stack of the decoding functions: each link points at its parent, so
// making a child costs nothing and the text is only built when an error is raised. A path
// must not outlive its parent.
class JsonPath {
public:
    // The document root (renders as the empty string).
    constexpr JsonPath() noexcept = default;

    JsonPath member(QLatin1StringView key) const noexcept { return JsonPath(this, key, -1); }
    JsonPath element(qsizetype index) const noexcept { return JsonPath(this, {}, index); }

    // "apps[2].status"; "" for the root.
    QString toString() const;

private:
    constexpr JsonPath(const JsonPath* parent, QLatin1StringView key, qsizetype index) noexcept
        : parent_(parent), key_(key), index_(index) {}

    const JsonPath* parent_ = nullptr;
    QLatin1StringView key_;
    qsizetype index_ = -1;
};

// Parses `bytes` as a JSON document whose top level is an object. Throws DecodingError for
// malformed JSON (naming the parser's message and the byte offset) or another top level.
QJsonObject parseJsonObject(const QByteArray& bytes);

// Strict reading of the members of one JSON object, shared by every decoder of the system.
//
// - A required member must be present, not null and of the expected JSON type.
// - An optional member that is missing or null has no value; present with another type it
//   is an error.
// - Keys are matched exactly; members nobody asks for are ignored.
//
// Every fault throws DecodingError naming the key path of the failing value.
class JsonReader {
public:
    explicit JsonReader(QJsonObject object, JsonPath path = {})
        : object_(std::move(object)), path_(path) {}

    const QJsonObject& json() const noexcept { return object_; }
    const JsonPath& path() const noexcept { return path_; }

    QString requiredString(QLatin1StringView key) const;
    std::optional<QString> optionalString(QLatin1StringView key) const;

    bool requiredBool(QLatin1StringView key) const;
    std::optional<bool> optionalBool(QLatin1StringView key) const;

    double requiredNumber(QLatin1StringView key) const;
    std::optional<double> optionalNumber(QLatin1StringView key) const;

    // A number without a fractional part that fits in 53 bits (the exact range of a double).
    std::optional<qint64> optionalInteger(QLatin1StringView key) const;

    QJsonArray requiredArray(QLatin1StringView key) const;
    std::optional<QJsonArray> optionalArray(QLatin1StringView key) const;

    QJsonObject requiredObject(QLatin1StringView key) const;
    std::optional<QJsonObject> optionalObject(QLatin1StringView key) const;

    // A nested object, ready to be read with its own path ("payload.version"). The returned
    // reader must not outlive this one.
    JsonReader requiredObjectReader(QLatin1StringView key) const {
        return JsonReader(requiredObject(key), path_.member(key));
    }

    // An array whose elements are all strings.
    QStringList requiredStringArray(QLatin1StringView key) const;
    std::optional<QStringList> optionalStringArray(QLatin1StringView key) const;

    // A string holding an internet date-time (see parseIso8601), as an instant in UTC.
    QDateTime requiredDateTime(QLatin1StringView key) const;
    std::optional<QDateTime> optionalDateTime(QLatin1StringView key) const;

    // A string holding an absolute URL (see parseAbsoluteUrl).
    QUrl requiredUrl(QLatin1StringView key) const;
    std::optional<QUrl> optionalUrl(QLatin1StringView key) const;

    // A string equal to one raw value of an enumeration; `fromRaw` maps the string to a case
    // (exactly, case-sensitively) or to no value.
    template <typename Enum, typename FromRaw>
    Enum requiredRawValue(QLatin1StringView key, FromRaw fromRaw) const {
        const QString raw = requiredString(key);
        return rawValueOrFail<Enum>(key, raw, fromRaw);
    }
    template <typename Enum, typename FromRaw>
    std::optional<Enum> optionalRawValue(QLatin1StringView key, FromRaw fromRaw) const {
        const std::optional<QString> raw = optionalString(key);
        if (!raw)
            return std::nullopt;
        return rawValueOrFail<Enum>(key, *raw, fromRaw);
    }

    // An array of objects, each turned into a T by `decode(const JsonReader&)`, which reads
    // the element with the element's own path ("apps[2]").
    template <typename T, typename Decode>
    QList<T> requiredObjectArray(QLatin1StringView key, Decode decode) const {
        return decodeObjects<T>(key, requiredArray(key), decode);
    }
    template <typename T, typename Decode>
    std::optional<QList<T>> optionalObjectArray(QLatin1StringView key, Decode decode) const {
        std::optional<QJsonArray> array = optionalArray(key);
        if (!array)
            return std::nullopt;
        return decodeObjects<T>(key, *array, decode);
    }

    // Raises a data fault at member `key` (for checks of the caller's own).
    [[noreturn]] void fail(QLatin1StringView key, const QString& message) const;

private:
    // The member, which must be of `type`. The reference reads the member in place (no
    // QJsonValue is made) and is valid while this reader lives.
    QJsonValueConstRef requiredValue(QLatin1StringView key, QJsonValue::Type type) const;
    // No value for a missing or null member.
    std::optional<QJsonValueConstRef> optionalValue(QLatin1StringView key,
                                                    QJsonValue::Type type) const;
    [[noreturn]] void failRawValue(QLatin1StringView key, const QString& raw) const;
    [[noreturn]] static void failElementType(const JsonPath& path, QJsonValue::Type found,
                                             QJsonValue::Type expected);

    template <typename Enum, typename FromRaw>
    Enum rawValueOrFail(QLatin1StringView key, const QString& raw, FromRaw& fromRaw) const {
        const std::optional<Enum> value = fromRaw(raw);
        if (!value)
            failRawValue(key, raw);
        return *value;
    }

    template <typename T, typename Decode>
    QList<T> decodeObjects(QLatin1StringView key, const QJsonArray& array, Decode& decode) const {
        const JsonPath arrayPath = path_.member(key);
        QList<T> result;
        result.reserve(array.size());
        qsizetype index = 0;
        for (const QJsonValueConstRef value : array) {
            const JsonPath elementPath = arrayPath.element(index);
            const QJsonValue::Type type = value.type();
            if (type != QJsonValue::Object) [[unlikely]]
                failElementType(elementPath, type, QJsonValue::Object);
            result.append(decode(JsonReader(value.toObject(), elementPath)));
            ++index;
        }
        return result;
    }

    QJsonObject object_;
    JsonPath path_;
};

} // namespace nimbara
