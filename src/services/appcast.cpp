#include "services/appcast.h"

#include "catalog/manifest_policy.h"
#include "catalog/version_order.h"
#include "core/logging.h"
#include "platform/network_session.h"
#include "services/launcher_update_error.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <variant>

namespace nimbara {

namespace {

// The fields of one <item> as they were written, before any of them is judged.
struct RawItem {
    QString title;
    QString description;
    QString versionElement;
    QString versionAttribute;
    QString minimumSystem;
    QString releaseNotesLink;
    bool hasEnclosure = false;
    QString url;
    QString sha256;
};

bool isSparkle(const QXmlStreamReader& reader, QStringView name) {
    return reader.namespaceUri() == kSparkleNamespace && reader.name() == name;
}

bool isPlain(const QXmlStreamReader& reader, QStringView name) {
    return reader.namespaceUri().isEmpty() && reader.name() == name;
}

void readEnclosure(const QXmlStreamReader& reader, RawItem& raw) {
    raw.hasEnclosure = true;
    const QXmlStreamAttributes attributes = reader.attributes();
    raw.url = attributes.value(QStringLiteral("url")).trimmed().toString();
    raw.sha256 = attributes.value(kNimbaraAppcastNamespace.toString(), QStringLiteral("sha256"))
                     .trimmed()
                     .toString();
    raw.versionAttribute =
        attributes.value(kSparkleNamespace.toString(), QStringLiteral("shortVersionString"))
            .trimmed()
            .toString();
}

// Reads the children of an <item> up to its end tag.
RawItem readItem(QXmlStreamReader& reader) {
    RawItem raw;
    while (reader.readNextStartElement()) {
        if (isPlain(reader, u"enclosure")) {
            readEnclosure(reader, raw);
            reader.skipCurrentElement();
        } else if (isPlain(reader, u"title")) {
            raw.title = reader.readElementText().trimmed();
        } else if (isPlain(reader, u"description")) {
            raw.description = reader.readElementText().trimmed();
        } else if (isSparkle(reader, u"shortVersionString")) {
            raw.versionElement = reader.readElementText().trimmed();
        } else if (isSparkle(reader, u"minimumSystemVersion")) {
            raw.minimumSystem = reader.readElementText().trimmed();
        } else if (isSparkle(reader, u"releaseNotesLink")) {
            raw.releaseNotesLink = reader.readElementText().trimmed();
        } else {
            reader.skipCurrentElement();
        }
    }
    return raw;
}

bool isDigest(const QString& text) {
    static const QRegularExpression hex(QStringLiteral("^[0-9a-fA-F]{64}$"));
    return hex.match(text).hasMatch();
}

// The character a reference of the notes' markup stands for ("amp", "#233", "#xE9").
QString decodedReference(const QString& name) {
    static const QHash<QString, QString> named{{QStringLiteral("lt"), QStringLiteral("<")},
                                               {QStringLiteral("gt"), QStringLiteral(">")},
                                               {QStringLiteral("quot"), QStringLiteral("\"")},
                                               {QStringLiteral("apos"), QStringLiteral("'")},
                                               {QStringLiteral("nbsp"), QStringLiteral(" ")},
                                               {QStringLiteral("amp"), QStringLiteral("&")}};
    if (!name.startsWith(u'#'))
        return named.value(name);
    bool ok = false;
    const uint code = name.startsWith(QLatin1String("#x")) ? name.mid(2).toUInt(&ok, 16)
                                                           : name.mid(1).toUInt(&ok, 10);
    const bool valid = ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    const char32_t character = valid ? char32_t(code) : U'\uFFFD';
    return QString::fromUcs4(&character, 1);
}

// Turns the HTML of release notes into plain text for the dialog: paragraphs, breaks and list
// items become lines, every other tag goes, and character references are decoded. The
// screens never render the feed's markup, so it cannot pull in images or other resources.
QString plainReleaseNotes(const QString& html) {
    if (!html.contains(u'<') && !html.contains(u'&'))
        return html;
    QString text = html;
    static const QRegularExpression lineEnds(
        QStringLiteral("<\\s*(br\\s*/?|/p|/div|/li|/h[1-6]|/ul|/ol)\\s*>"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression listItems(QStringLiteral("<\\s*li(\\s[^>]*)?>"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    static const QRegularExpression references(
        QStringLiteral("&(#x[0-9a-fA-F]{1,6}|#[0-9]{1,7}|lt|gt|quot|apos|nbsp|amp);"));
    text.replace(lineEnds, QStringLiteral("\n"));
    text.replace(listItems, QStringLiteral("\u2022 "));
    text.remove(tags);
    // One pass, so that a decoded "&" never starts another reference.
    QString decoded;
    qsizetype from = 0;
    for (auto it = references.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        decoded += QStringView(text).mid(from, match.capturedStart() - from);
        decoded += decodedReference(match.captured(1));
        from = match.capturedEnd();
    }
    decoded += QStringView(text).mid(from);
    QStringList lines;
    for (const QString& line : decoded.split(u'\n')) {
        const QString trimmed = line.simplified();
        if (!trimmed.isEmpty() || (!lines.isEmpty() && !lines.last().isEmpty()))
            lines.append(trimmed);
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines.join(u'\n');
}

// The usable item `raw` describes, or the reason it is not one.
std::variant<AppcastItem, QString> judge(const RawItem& raw) {
    if (!raw.hasEnclosure)
        return QStringLiteral("it has no enclosure");
    AppcastItem item;
    item.version = raw.versionElement.isEmpty() ? raw.versionAttribute : raw.versionElement;
    if (item.version.isEmpty())
        return QStringLiteral("it has no version");
    if (!isReleaseVersion(item.version))
        return QStringLiteral("\"%1\" is not a version number").arg(item.version);
    if (raw.url.isEmpty())
        return QStringLiteral("its enclosure has no address");
    item.downloadURL = QUrl(raw.url, QUrl::StrictMode);
    if (!item.downloadURL.isValid() || item.downloadURL.isRelative() ||
        item.downloadURL.host().isEmpty())
        return QStringLiteral("its enclosure address \"%1\" is not a web address").arg(raw.url);
    if (item.downloadURL.scheme() != QLatin1String("https") && !isLocalHTTP(item.downloadURL))
        return QStringLiteral("its enclosure address \"%1\" is not https").arg(raw.url);
    if (raw.sha256.isEmpty())
        return QStringLiteral("its enclosure carries no SHA-256 digest");
    if (!isDigest(raw.sha256))
        return QStringLiteral("its enclosure's digest \"%1\" is not a SHA-256").arg(raw.sha256);
    item.sha256 = raw.sha256.toLower();
    if (!raw.minimumSystem.isEmpty()) {
        item.minimumSystemVersion = ManifestPolicy::macOSVersion(raw.minimumSystem);
        if (!item.minimumSystemVersion)
            return QStringLiteral("its minimum system version \"%1\" does not parse")
                .arg(raw.minimumSystem);
        item.minimumSystemVersionText = raw.minimumSystem;
    }
    const QUrl notes(raw.releaseNotesLink, QUrl::StrictMode);
    if (notes.isValid() && notes.scheme() == QLatin1String("https") && !notes.host().isEmpty())
        item.releaseNotesURL = notes;
    else if (!raw.releaseNotesLink.isEmpty())
        qCInfo(logServices).noquote()
            << "appcast: release notes link left out (not an https address):"
            << raw.releaseNotesLink;
    item.title = raw.title;
    item.releaseNotes = plainReleaseNotes(raw.description);
    return item;
}

QString positionOf(const QXmlStreamReader& reader) {
    return QStringLiteral("line %1, column %2").arg(reader.lineNumber()).arg(reader.columnNumber());
}

} // namespace

bool isReleaseVersion(QStringView text) {
    static const QRegularExpression pattern(QStringLiteral(
        "^[0-9]{1,9}(\\.[0-9]{1,9}){0,3}(-[0-9A-Za-z.-]{1,64})?(\\+[0-9A-Za-z.-]{1,64})?$"));
    return pattern.match(text.toString()).hasMatch();
}

Appcast parseAppcast(const QByteArray& document) {
    QXmlStreamReader reader(document);
    if (!reader.readNextStartElement() || !isPlain(reader, u"rss")) {
        if (reader.hasError())
            throw LauncherUpdateError::malformedFeed(
                QStringLiteral("%1 (%2)").arg(reader.errorString(), positionOf(reader)));
        throw LauncherUpdateError::malformedFeed(QStringLiteral("it is not an RSS feed"));
    }
    Appcast appcast;
    bool sawChannel = false;
    int position = 0;
    while (reader.readNextStartElement()) {
        if (!isPlain(reader, u"channel")) {
            reader.skipCurrentElement();
            continue;
        }
        sawChannel = true;
        while (reader.readNextStartElement()) {
            if (!isPlain(reader, u"item")) {
                reader.skipCurrentElement();
                continue;
            }
            ++position;
            const RawItem raw = readItem(reader);
            auto judged = judge(raw);
            if (auto* item = std::get_if<AppcastItem>(&judged)) {
                appcast.items.append(std::move(*item));
            } else {
                const QString reason =
                    QStringLiteral("item %1: %2").arg(position).arg(std::get<QString>(judged));
                qCInfo(logServices).noquote() << "appcast: skipped" << reason;
                appcast.skipped.append(reason);
            }
        }
    }
    // The rest of the document must be well-formed too: a feed cut short is not trusted.
    while (!reader.atEnd() && !reader.hasError())
        reader.readNext();
    if (reader.hasError())
        throw LauncherUpdateError::malformedFeed(
            QStringLiteral("%1 (%2)").arg(reader.errorString(), positionOf(reader)));
    if (!sawChannel)
        throw LauncherUpdateError::malformedFeed(QStringLiteral("it has no channel"));
    if (appcast.items.isEmpty())
        throw LauncherUpdateError::noUsableItem(appcast.skipped);
    return appcast;
}

std::optional<AppcastItem> newestRunnableItem(const QList<AppcastItem>& items,
                                              const OperatingSystemVersion& running) {
    std::optional<AppcastItem> newest;
    for (const AppcastItem& item : items) {
        if (item.minimumSystemVersion && running < *item.minimumSystemVersion) {
            qCInfo(logServices).noquote()
                << "appcast: version" << item.version << "needs system"
                << item.minimumSystemVersionText << "and this one is" << running.toString();
            continue;
        }
        if (!newest || compareVersions(item.version, newest->version) == VersionOrder::descending)
            newest = item;
    }
    return newest;
}

} // namespace nimbara
