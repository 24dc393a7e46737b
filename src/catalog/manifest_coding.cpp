#include "catalog/manifest_coding.h"

#include "core/json_coding.h"

#include <QJsonArray>

namespace nimbara {

using namespace Qt::StringLiterals;

namespace {

// Fills `object[key]` only when the optional holds a value.
void insertOptional(QJsonObject& object, QLatin1StringView key,
                    const std::optional<QString>& value) {
    if (value)
        object.insert(key, *value);
}

void insertOptional(QJsonObject& object, QLatin1StringView key, const std::optional<QUrl>& url) {
    if (url)
        object.insert(key, url->toString(QUrl::FullyEncoded));
}

void insertOptional(QJsonObject& object, QLatin1StringView key,
                    const std::optional<QDateTime>& instant) {
    if (instant)
        object.insert(key, formatIso8601(*instant));
}

template <typename T, typename Encode> QJsonArray encodeAll(const QList<T>& values, Encode encode) {
    QJsonArray array;
    for (const T& value : values)
        array.append(encode(value));
    return array;
}

} // namespace

LauncherManifest decodeLauncherManifest(const QByteArray& bytes) {
    return decodeLauncherManifest(JsonReader(parseJsonObject(bytes)));
}

LauncherManifest decodeLauncherManifest(const JsonReader& reader) {
    LauncherManifest manifest;
    manifest.generatedAt = reader.requiredDateTime("generatedAt"_L1);
    manifest.apps = reader.requiredObjectArray<AppManifestItem>("apps"_L1, decodeAppManifestItem);
    manifest.announcements = reader
                                 .optionalObjectArray<LauncherAnnouncement>(
                                     "announcements"_L1, decodeLauncherAnnouncement)
                                 .value_or(QList<LauncherAnnouncement>{});
    return manifest;
}

AppManifestItem decodeAppManifestItem(const JsonReader& reader) {
    AppManifestItem item;
    item.id = reader.requiredString("id"_L1);
    item.name = reader.requiredString("name"_L1);
    item.tagline = reader.requiredString("tagline"_L1);
    item.category = reader.requiredString("category"_L1);
    item.bundleId = reader.requiredString("bundleId"_L1);
    item.version = reader.requiredString("version"_L1);
    item.minMacOS = reader.requiredString("minMacOS"_L1);
    item.status =
        reader.requiredRawValue<AppReleaseStatus>("status"_L1, AppReleaseStatuses::fromRaw);
    item.downloadUrl = reader.optionalUrl("downloadUrl"_L1);
    item.sha256 = reader.optionalString("sha256"_L1);
    item.sparkleFeedUrl = reader.optionalUrl("sparkleFeedUrl"_L1);
    item.symbolName = reader.requiredString("symbolName"_L1);
    item.iconUrl = reader.optionalUrl("iconUrl"_L1);
    item.accent = reader.requiredRawValue<AppAccent>("accent"_L1, AppAccents::fromRaw);
    item.tags = reader.requiredStringArray("tags"_L1);
    item.description = reader.requiredString("description"_L1);
    item.privacyNote = reader.requiredString("privacyNote"_L1);
    item.releaseNotes =
        reader.requiredObjectArray<ReleaseNote>("releaseNotes"_L1, decodeReleaseNote);
    return item;
}

ReleaseNote decodeReleaseNote(const JsonReader& reader) {
    ReleaseNote note;
    note.version = reader.requiredString("version"_L1);
    note.date = reader.requiredString("date"_L1);
    note.text = reader.requiredString("text"_L1);
    return note;
}

LauncherAnnouncement decodeLauncherAnnouncement(const JsonReader& reader) {
    LauncherAnnouncement announcement;
    announcement.id = reader.requiredString("id"_L1);
    announcement.appId = reader.requiredString("appId"_L1);
    announcement.appName = reader.requiredString("appName"_L1);
    announcement.kind = reader.requiredString("kind"_L1);
    announcement.title = reader.requiredString("title"_L1);
    announcement.body = reader.requiredString("body"_L1);
    announcement.version = reader.optionalString("version"_L1);
    announcement.publishedAt = reader.optionalDateTime("publishedAt"_L1);
    return announcement;
}

QJsonObject encodeLauncherManifest(const LauncherManifest& manifest) {
    QJsonObject object;
    object.insert("generatedAt"_L1, formatIso8601(manifest.generatedAt));
    object.insert("apps"_L1, encodeAll(manifest.apps, encodeAppManifestItem));
    object.insert("announcements"_L1,
                  encodeAll(manifest.announcements, encodeLauncherAnnouncement));
    return object;
}

QJsonObject encodeAppManifestItem(const AppManifestItem& item) {
    QJsonObject object;
    object.insert("id"_L1, item.id);
    object.insert("name"_L1, item.name);
    object.insert("tagline"_L1, item.tagline);
    object.insert("category"_L1, item.category);
    object.insert("bundleId"_L1, item.bundleId);
    object.insert("version"_L1, item.version);
    object.insert("minMacOS"_L1, item.minMacOS);
    object.insert("status"_L1, AppReleaseStatuses::rawValue(item.status));
    insertOptional(object, "downloadUrl"_L1, item.downloadUrl);
    insertOptional(object, "sha256"_L1, item.sha256);
    insertOptional(object, "sparkleFeedUrl"_L1, item.sparkleFeedUrl);
    object.insert("symbolName"_L1, item.symbolName);
    insertOptional(object, "iconUrl"_L1, item.iconUrl);
    object.insert("accent"_L1, AppAccents::rawValue(item.accent));
    object.insert("tags"_L1, QJsonArray::fromStringList(item.tags));
    object.insert("description"_L1, item.description);
    object.insert("privacyNote"_L1, item.privacyNote);
    object.insert("releaseNotes"_L1, encodeAll(item.releaseNotes, encodeReleaseNote));
    return object;
}

QJsonObject encodeReleaseNote(const ReleaseNote& note) {
    QJsonObject object;
    object.insert("version"_L1, note.version);
    object.insert("date"_L1, note.date);
    object.insert("text"_L1, note.text);
    return object;
}

QJsonObject encodeLauncherAnnouncement(const LauncherAnnouncement& announcement) {
    QJsonObject object;
    object.insert("id"_L1, announcement.id);
    object.insert("appId"_L1, announcement.appId);
    object.insert("appName"_L1, announcement.appName);
    object.insert("kind"_L1, announcement.kind);
    object.insert("title"_L1, announcement.title);
    object.insert("body"_L1, announcement.body);
    insertOptional(object, "version"_L1, announcement.version);
    insertOptional(object, "publishedAt"_L1, announcement.publishedAt);
    return object;
}

QByteArray encodeLauncherManifestJson(const LauncherManifest& manifest) {
    return encodeNimbaraJson(encodeLauncherManifest(manifest));
}

} // namespace nimbara
