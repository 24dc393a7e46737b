#include "file_routes.h"

#include "catalog/manifest_coding.h"
#include "core/decoding_error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace nimbara::devserver {

namespace {

struct FileContents {
    QByteArray bytes;
    QDateTime modified;
};

std::optional<FileContents> readFile(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return FileContents{file.readAll(), QFileInfo(file).lastModified().toUTC()};
}

QByteArray entityTag(const QByteArray& bytes) {
    return '"' + QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(32) + '"';
}

bool tagListMatches(const QByteArray& list, const QByteArray& tag) {
    for (QByteArray candidate : list.split(',')) {
        candidate = candidate.trimmed();
        if (candidate.startsWith("W/"))
            candidate = candidate.mid(2);
        if (candidate == "*" || candidate == tag)
            return true;
    }
    return false;
}

// Whether the client's copy is current. If-None-Match, when sent, decides alone.
bool notModified(const Request& request, const QByteArray& tag, const QDateTime& modified) {
    const QByteArray noneMatch = request.header("If-None-Match");
    if (!noneMatch.isEmpty())
        return tagListMatches(noneMatch, tag);
    const std::optional<QDateTime> since = parseHttpDate(request.header("If-Modified-Since"));
    // HTTP dates have whole seconds: compare the file's time at that precision.
    return since && modified.toSecsSinceEpoch() <= since->toSecsSinceEpoch();
}

// The file's bytes with validators, or 304 when the client's copy is current.
Reply validatedReply(const Request& request, const FileContents& file, const QByteArray& tag,
                     const QByteArray& contentType) {
    Reply reply;
    if (notModified(request, tag, file.modified))
        reply.status = Status::NotModified;
    else
        reply = Reply::bytes(Status::Ok, contentType, file.bytes);
    reply.setHeader("ETag", tag);
    reply.setHeader("Last-Modified", httpDate(file.modified));
    reply.setHeader("Cache-Control", "no-cache");
    return reply;
}

// A path segment after percent-decoding, or no value when it could step out of its folder.
std::optional<QString> plainSegment(const QByteArray& encoded) {
    const QString segment = QUrl::fromPercentEncoding(encoded);
    if (segment.isEmpty() || segment == u'.' || segment == QStringLiteral("..") ||
        segment.contains(u'/') || segment.contains(u'\\') || segment.contains(QChar(0)))
        return std::nullopt;
    return segment;
}

} // namespace

CatalogFiles::CatalogFiles(QString root) : root_(std::move(root)) {}

int CatalogFiles::checkAll() {
    const QStringList names =
        QDir(root_).entryList({QStringLiteral("catalog.json"), QStringLiteral("catalog.*.json")},
                              QDir::Files, QDir::Name);
    if (names.isEmpty())
        logLine(QStringLiteral("warning: %1 holds no catalog.json; the catalog endpoint answers "
                               "404 until one exists")
                    .arg(QDir::toNativeSeparators(root_)));
    int invalid = 0;
    for (const QString& name : names) {
        if (const std::optional<FileContents> file = readFile(QDir(root_).filePath(name)))
            invalid += check(name, file->bytes, entityTag(file->bytes)) ? 0 : 1;
    }
    return invalid;
}

bool CatalogFiles::check(const QString& fileName, const QByteArray& bytes, const QByteArray& etag) {
    if (checked_.value(fileName) == etag)
        return true;
    checked_.insert(fileName, etag);
    try {
        decodeLauncherManifest(bytes);
        return true;
    } catch (const DecodingError& error) {
        logLine(
            QStringLiteral("warning: %1 is not a valid catalog, the launcher will reject it: %2")
                .arg(fileName, error.description()));
        return false;
    }
}

Reply CatalogFiles::serve(const Request& request) {
    static const QRegularExpression languageCode(QStringLiteral("^[a-z]{2}$"));
    QStringList candidates;
    const QString lang = request.query().queryItemValue(QStringLiteral("lang"));
    if (languageCode.match(lang).hasMatch())
        candidates.append(QStringLiteral("catalog.%1.json").arg(lang));
    candidates.append(QStringLiteral("catalog.json"));

    for (const QString& name : candidates) {
        const std::optional<FileContents> file = readFile(QDir(root_).filePath(name));
        if (!file)
            continue;
        const QByteArray tag = entityTag(file->bytes);
        check(name, file->bytes, tag);
        Reply reply = validatedReply(request, *file, tag, "application/json");
        return reply;
    }
    return Reply::error(Status::NotFound,
                        QStringLiteral("no catalog: %1 holds no catalog.json").arg(root_));
}

Reply serveAppcast(const QString& root, const Request& request) {
    const std::optional<FileContents> file =
        readFile(QDir(root).filePath(QStringLiteral("appcast.xml")));
    if (!file)
        return Reply::error(Status::NotFound, QStringLiteral("no appcast.xml"));
    return validatedReply(request, *file, entityTag(file->bytes), "application/rss+xml");
}

Reply serveDownload(const QString& root, const QList<QByteArray>& encodedSegments) {
    const QString folder = QDir(root).filePath(QStringLiteral("downloads"));
    QStringList segments;
    for (const QByteArray& encoded : encodedSegments) {
        const std::optional<QString> segment = plainSegment(encoded);
        if (!segment)
            return Reply::notFound();
        segments.append(*segment);
    }
    if (segments.isEmpty())
        return Reply::notFound();

    // The segments are plain names, but a symlink inside the folder could still lead out.
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    const QFileInfo target(QDir(folder).filePath(segments.join(u'/')));
    if (canonicalFolder.isEmpty() || !target.isFile() ||
        !target.canonicalFilePath().startsWith(canonicalFolder + u'/'))
        return Reply::notFound();

    auto file = std::make_shared<QFile>(target.filePath());
    if (!file->open(QIODevice::ReadOnly))
        return Reply::error(
            Status::InternalServerError,
            QStringLiteral("cannot open %1: %2")
                .arg(QDir(folder).relativeFilePath(target.filePath()), file->errorString()));
    const bool zip = target.suffix().compare(QStringLiteral("zip"), Qt::CaseInsensitive) == 0;
    Reply reply =
        Reply::bytes(Status::Ok, zip ? "application/zip" : "application/octet-stream", {});
    reply.stream = file;
    reply.streamSize = file->size();
    reply.setHeader("Last-Modified", httpDate(target.lastModified().toUTC()));
    return reply;
}

} // namespace nimbara::devserver
