#pragma once

#include "catalog/decoding_error.h"
#include "catalog/launcher_manifest.h"
#include "text/copy_key.h"
#include "text/nimbara_locale.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QMetaType>
#include <QString>
#include <functional>
#include <optional>

namespace nimbara::test {

// A valid catalog document: apps[0] has only its required keys, apps[1] has every key, and
// announcements[0] has every key.
QJsonObject validCatalogDocument();

// `document` with the value at `path` ("apps[1].tags[0]") replaced by `value`, or removed
// when `value` is undefined. Every container on the way must exist.
QJsonObject withValueAt(const QJsonObject& document, const QString& path, const QJsonValue& value);

// The catalog that validCatalogDocument() describes, written out field by field.
LauncherManifest validCatalog();

// A change to a catalog, for tables of cases.
using CatalogEdit = std::function<void(LauncherManifest&)>;

// The DecodingError that `action` throws, if any.
template <typename Action> std::optional<DecodingError> decodingErrorOf(Action&& action) {
    try {
        action();
    } catch (const DecodingError& error) {
        return error;
    }
    return std::nullopt;
}

} // namespace nimbara::test

Q_DECLARE_METATYPE(nimbara::test::CatalogEdit)
Q_DECLARE_METATYPE(nimbara::DecodingError::Kind)
Q_DECLARE_METATYPE(nimbara::AppReleaseStatus)
Q_DECLARE_METATYPE(nimbara::NimbaraLocale)
Q_DECLARE_METATYPE(nimbara::CopyKey)
