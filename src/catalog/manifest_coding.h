#pragma once

#include "catalog/launcher_manifest.h"
#include "core/json_reader.h"

#include <QByteArray>
#include <QJsonObject>

namespace nimbara {

// The catalog document in JSON. Decoding is strict and whole: the first fault (a required
// key missing, null or of the wrong type, an optional key of the wrong type, an unknown raw
// value, a malformed date-time or URL) throws DecodingError naming its key path, and no
// partial catalog is ever returned. Keys the document format does not list are ignored.

// Decodes the bytes of a catalog document.
LauncherManifest decodeLauncherManifest(const QByteArray& bytes);

// The records one by one, read from an object already parsed (with its key path).
LauncherManifest decodeLauncherManifest(const JsonReader& reader);
AppManifestItem decodeAppManifestItem(const JsonReader& reader);
ReleaseNote decodeReleaseNote(const JsonReader& reader);
LauncherAnnouncement decodeLauncherAnnouncement(const JsonReader& reader);

// The catalog as a JSON object with the document's keys: generatedAt, apps and announcements
// are always written; absent optional values are left out (never written as null);
// date-times are written as "2026-05-03T00:00:00Z".
QJsonObject encodeLauncherManifest(const LauncherManifest& manifest);
QJsonObject encodeAppManifestItem(const AppManifestItem& item);
QJsonObject encodeReleaseNote(const ReleaseNote& note);
QJsonObject encodeLauncherAnnouncement(const LauncherAnnouncement& announcement);

// The catalog document's bytes, written with the shared encoder settings.
QByteArray encodeLauncherManifestJson(const LauncherManifest& manifest);

} // namespace nimbara
