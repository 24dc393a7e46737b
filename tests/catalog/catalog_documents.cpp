#include "catalog_documents.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QStringList>

namespace nimbara::test {

QJsonObject validCatalogDocument() {
    static const QByteArray document = R"({
        "generatedAt": "2026-05-03T00:00:00Z",
        "apps": [{
            "id": "notes", "name": "Notes", "tagline": "Plain notes", "category": "Writing",
            "bundleId": "com.nimbara.notes", "version": "1.0.0", "minMacOS": "13",
            "status": "comingSoon", "symbolName": "note.text", "accent": "lime", "tags": [],
            "description": "Notes, plainly.", "privacyNote": "Nothing leaves the machine.",
            "releaseNotes": []
        }, {
            "id": "timer", "name": "Notes", "tagline": "Plain notes", "category": "Writing",
            "bundleId": "com.nimbara.notes", "version": "1.0.0", "minMacOS": "13",
            "status": "live", "downloadUrl": "https://example.com/timer-2.1.zip",
            "sha256": "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa",
            "sparkleFeedUrl": "https://example.com/appcast.xml", "symbolName": "note.text",
            "iconUrl": "https://example.com/timer.png", "accent": "violet",
            "tags": ["focus", "time"], "description": "Notes, plainly.",
            "privacyNote": "Nothing leaves the machine.",
            "releaseNotes": [{"version": "2.1", "date": "2026-04-30", "text": "Faster start"}]
        }],
        "announcements": [{
            "id": "timer-launch", "appId": "timer", "appName": "Timer", "kind": "newApp",
            "title": "Timer is here", "body": "Try it", "version": "2.1",
            "publishedAt": "2026-05-01T09:30:00Z"
        }]
    })";
    return QJsonDocument::fromJson(document).object();
}

namespace {

// Replaces (or removes) the value that `tokens[from]...` designate inside `container`.
QJsonValue replaced(const QJsonValue& container, const QStringList& tokens, qsizetype from,
                    const QJsonValue& value) {
    const QString& token = tokens[from];
    const bool last = from + 1 == tokens.size();
    if (token.startsWith(QLatin1Char('['))) {
        QJsonArray array = container.toArray();
        const qsizetype index = token.mid(1, token.size() - 2).toInt();
        if (index >= array.size())
            qFatal("no element %s in the document", qPrintable(token));
        if (last && value.isUndefined())
            array.removeAt(index);
        else
            array[index] = last ? value : replaced(array[index], tokens, from + 1, value);
        return array;
    }
    QJsonObject object = container.toObject();
    if (!object.contains(token) && !(last && !value.isUndefined()))
        qFatal("no key %s in the document", qPrintable(token));
    if (last && value.isUndefined())
        object.remove(token);
    else
        object[token] = last ? value : replaced(object[token], tokens, from + 1, value);
    return object;
}

} // namespace

QJsonObject withValueAt(const QJsonObject& document, const QString& path, const QJsonValue& value) {
    static const QRegularExpression token(QStringLiteral("\\[\\d+\\]|[^.\\[]+"));
    QStringList tokens;
    for (const QRegularExpressionMatch& match : token.globalMatch(path))
        tokens.append(match.captured());
    return replaced(document, tokens, 0, value).toObject();
}

LauncherManifest validCatalog() {
    const auto text = [](const char* value) {
        return QString::fromUtf8(value);
    };
    const AppManifestItem notes{text("notes"),
                                text("Notes"),
                                text("Plain notes"),
                                text("Writing"),
                                text("com.nimbara.notes"),
                                text("1.0.0"),
                                text("13"),
                                AppReleaseStatus::comingSoon,
                                std::nullopt,
                                std::nullopt,
                                std::nullopt,
                                text("note.text"),
                                std::nullopt,
                                AppAccent::lime,
                                {},
                                text("Notes, plainly."),
                                text("Nothing leaves the machine."),
                                {}};
    AppManifestItem timer = notes;
    timer.id = text("timer");
    timer.status = AppReleaseStatus::live;
    timer.accent = AppAccent::violet;
    timer.downloadUrl = QUrl(text("https://example.com/timer-2.1.zip"));
    timer.sha256 = QString(64, QLatin1Char('a'));
    timer.sparkleFeedUrl = QUrl(text("https://example.com/appcast.xml"));
    timer.iconUrl = QUrl(text("https://example.com/timer.png"));
    timer.tags = {text("focus"), text("time")};
    timer.releaseNotes = {{text("2.1"), text("2026-04-30"), text("Faster start")}};
    const LauncherAnnouncement announcement{
        text("timer-launch"),  text("timer"),
        text("Timer"),         text("newApp"),
        text("Timer is here"), text("Try it"),
        text("2.1"),           QDateTime(QDate(2026, 5, 1), QTime(9, 30), Qt::UTC)};
    return {QDateTime::fromSecsSinceEpoch(1777766400, Qt::UTC), {notes, timer}, {announcement}};
}

} // namespace nimbara::test
