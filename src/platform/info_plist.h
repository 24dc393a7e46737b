#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>
#include <optional>

namespace nimbara {

// The top-level dictionary of a property list in XML or binary form, with each value converted:
// string -> QString, integer -> qint64, real -> double, Boolean -> bool, data -> QByteArray,
// date -> QDateTime (UTC), array -> QVariantList, dictionary -> QVariantMap. None when the bytes
// are not a property list, its top level is not a dictionary, or it is larger than 1 MiB or
// nests arrays and dictionaries more than 64 deep. (The OpenStep text form is not
// read: the property-list library this build uses does not parse it.)
std::optional<QVariantMap> parsePropertyListDictionary(const QByteArray& bytes);

// Reads the whole file at `plistPath` and parses it as above. None when the file is absent, is
// not a regular file (nor a link to one), cannot be read or does not parse.
std::optional<QVariantMap> readInfoPlist(const QString& plistPath);

// The Info.plist of the bundle folder `bundlePath`: bundlePath + "/Contents/Info.plist".
QString infoPlistPath(const QString& bundlePath);

// True when the Info.plist of the bundle folder `bundlePath` reads and carries `bundleIdentifier`
// (a string, compared exactly) as CFBundleIdentifier.
bool bundleCarriesIdentifier(const QString& bundlePath, const QString& bundleIdentifier);

} // namespace nimbara
