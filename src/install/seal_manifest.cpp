#include "install/seal_manifest.h"

#include "core/decoding_error.h"
#include "core/json_reader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace nimbara {

namespace {

using Kind = DecodingError::Kind;

[[noreturn]] void fail(Kind kind, const QString& keyPath, const QString& message) {
    throw DecodingError(kind, keyPath, message);
}

QString memberPath(QLatin1StringView list, const QString& key) {
    return QStringLiteral("%1[\"%2\"]").arg(list, key);
}

// The number of object keys written in `bytes`, a document the JSON parser accepted: every
// string that is followed by a colon.
qsizetype writtenKeyCount(const QByteArray& bytes) {
    qsizetype count = 0;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (bytes[i] != '"')
            continue;
        for (++i; i < size && bytes[i] != '"'; ++i) {
            if (bytes[i] == '\\')
                ++i;
        }
        qsizetype next = i + 1;
        while (next < size && (bytes[next] == ' ' || bytes[next] == '\t' || bytes[next] == '\n' ||
                               bytes[next] == '\r'))
            ++next;
        if (next < size && bytes[next] == ':')
            ++count;
    }
    return count;
}

qsizetype parsedKeyCount(const QJsonValue& value);

qsizetype parsedKeyCount(const QJsonObject& object) {
    qsizetype count = object.size();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it)
        count += parsedKeyCount(it.value());
    return count;
}

qsizetype parsedKeyCount(const QJsonValue& value) {
    if (value.isObject())
        return parsedKeyCount(value.toObject());
    qsizetype count = 0;
    if (value.isArray()) {
        for (const QJsonValue element : value.toArray())
            count += parsedKeyCount(element);
    }
    return count;
}

std::optional<QByteArray> sha256FromHex(const QString& text) {
    if (text.size() != 64)
        return std::nullopt;
    for (const QChar c : text) {
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
              (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
            return std::nullopt;
    }
    return QByteArray::fromHex(text.toLatin1());
}

void requireSealable(const QString& keyPath, const QString& path) {
    if (!isSealablePath(path))
        fail(Kind::dataCorrupted, keyPath, QStringLiteral("not a relative path inside the bundle"));
}

SealedFile decodeFile(const QString& keyPath, const QJsonValue& value) {
    if (!value.isObject())
        fail(Kind::typeMismatch, keyPath, QStringLiteral("expected an object"));
    const QJsonObject entry = value.toObject();
    const QJsonValue hash = entry.value(QLatin1StringView("sha256"));
    const std::optional<QByteArray> digest =
        hash.isString() ? sha256FromHex(hash.toString()) : std::nullopt;
    if (!digest)
        fail(Kind::dataCorrupted, keyPath + QStringLiteral(".sha256"),
             QStringLiteral("expected 64 lower-case hexadecimal digits"));
    const QJsonValue executable = entry.value(QLatin1StringView("executable"));
    if (!executable.isBool())
        fail(Kind::typeMismatch, keyPath + QStringLiteral(".executable"),
             QStringLiteral("expected a boolean"));
    return {*digest, executable.toBool()};
}

} // namespace

bool isSealablePath(QStringView path) {
    if (path.isEmpty() || path.contains(QChar(0)) || path.contains(QLatin1Char('\\')))
        return false;
    for (const QStringView component : path.split(QLatin1Char('/'))) {
        if (component.isEmpty() || component == QLatin1StringView(".") ||
            component == QLatin1StringView(".."))
            return false;
    }
    return true;
}

SealManifest decodeSealManifest(const QByteArray& bytes) {
    const QJsonObject root = parseJsonObject(bytes);
    // The JSON parser keeps one member of a repeated key; a seal must never be read two ways.
    if (writtenKeyCount(bytes) != parsedKeyCount(root))
        fail(Kind::dataCorrupted, {}, QStringLiteral("a key appears twice in one object"));

    const JsonReader reader(root);
    const std::optional<qint64> format = reader.optionalInteger(QLatin1StringView("format"));
    if (format != 1)
        reader.fail(QLatin1StringView("format"), QStringLiteral("expected format 1"));
    SealManifest manifest;
    manifest.identifier = reader.requiredString(QLatin1StringView("identifier"));
    if (manifest.identifier.isEmpty())
        reader.fail(QLatin1StringView("identifier"), QStringLiteral("empty identifier"));

    const QJsonObject files = reader.requiredObject(QLatin1StringView("files"));
    for (auto it = files.constBegin(); it != files.constEnd(); ++it) {
        const QString keyPath = memberPath(QLatin1StringView("files"), it.key());
        requireSealable(keyPath, it.key());
        manifest.files.insert(it.key(), decodeFile(keyPath, it.value()));
    }
    const QJsonObject symlinks = reader.requiredObject(QLatin1StringView("symlinks"));
    for (auto it = symlinks.constBegin(); it != symlinks.constEnd(); ++it) {
        const QString keyPath = memberPath(QLatin1StringView("symlinks"), it.key());
        requireSealable(keyPath, it.key());
        if (manifest.files.contains(it.key()))
            fail(Kind::dataCorrupted, keyPath, QStringLiteral("listed as a file too"));
        const QString target = it.value().toString();
        if (!it.value().isString() || target.isEmpty() || target.startsWith(QLatin1Char('/')) ||
            target.contains(QChar(0)))
            fail(Kind::dataCorrupted, keyPath, QStringLiteral("expected a relative link target"));
        manifest.symlinks.insert(it.key(), target);
    }
    return manifest;
}

QByteArray encodeSealManifest(const SealManifest& manifest) {
    QJsonObject files;
    for (auto it = manifest.files.constBegin(); it != manifest.files.constEnd(); ++it) {
        files.insert(it.key(), QJsonObject{{QStringLiteral("sha256"),
                                            QString::fromLatin1(it->sha256.toHex())},
                                           {QStringLiteral("executable"), it->executable}});
    }
    QJsonObject symlinks;
    for (auto it = manifest.symlinks.constBegin(); it != manifest.symlinks.constEnd(); ++it)
        symlinks.insert(it.key(), it.value());
    const QJsonObject root{{QStringLiteral("format"), 1},
                           {QStringLiteral("identifier"), manifest.identifier},
                           {QStringLiteral("files"), files},
                           {QStringLiteral("symlinks"), symlinks}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

} // namespace nimbara
