#pragma once

#include "platform/operating_system_version.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace nimbara {

// The namespaces an appcast declares: the update framework's own, as published appcasts
// declare it, and ours, which carries the archive's digest.
inline constexpr QStringView kSparkleNamespace =
    u"http://www.andymatuschak.org/xml-namespaces/sparkle";
inline constexpr QStringView kNimbaraAppcastNamespace = u"urn:nimbara:appcast:1";

// One release of the launcher that an appcast offers, checked as far as it can be without
// downloading anything.
struct AppcastItem {
    QString version;  // a version number: digits and dots, optional "-pre" and "+build"
    QUrl downloadURL; // https, or plain http to this machine
    QString sha256;   // 64 hexadecimal digits, lower-cased
    std::optional<OperatingSystemVersion> minimumSystemVersion;
    QString minimumSystemVersionText;    // as the feed wrote it
    std::optional<QUrl> releaseNotesURL; // https only
    QString title;
    QString releaseNotes; // the item's description as plain text (markup removed)

    bool operator==(const AppcastItem&) const = default;
};

// What a feed offers: its usable items in feed order, and why the others were left out.
struct Appcast {
    QList<AppcastItem> items;
    QStringList skipped;
};

// Reads an RSS 2.0 appcast. Per item: the version from the item's sparkle:shortVersionString
// element, else the enclosure's attribute of that name; the enclosure's url and
// nimbara:sha256; optional sparkle:minimumSystemVersion and sparkle:releaseNotesLink; title and
// description. An item without an enclosure, an address, a digest or a version, or with one
// that does not parse (a plain-http address to another machine included) is skipped with its
// reason, which is also logged. A document that is not well-formed XML or not an RSS channel
// throws LauncherUpdateError malformedFeed; one without any usable item, noUsableItem.
Appcast parseAppcast(const QByteArray& document);

// Whether `text` reads as a version number as releases are numbered: one or more dot-separated
// decimal numbers, optionally followed by "-" and a pre-release and by "+" and a build.
bool isReleaseVersion(QStringView text);

// The item with the highest version (compareVersions) among those whose minimum system the
// running one meets (equal runs); the earlier one in the feed on a tie. None when none runs.
std::optional<AppcastItem> newestRunnableItem(const QList<AppcastItem>& items,
                                              const OperatingSystemVersion& running);

} // namespace nimbara
