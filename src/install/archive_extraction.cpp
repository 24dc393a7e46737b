#include "install/archive_extraction.h"

#include "core/logging.h"
#include "install/app_installer_error.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <archive.h>
#include <archive_entry.h>
#include <climits>
#include <memory>

namespace nimbara {

namespace {

// Read block size of the archive file.
constexpr size_t archiveReadBlockSize = 64 * 1024;

// libarchive changes the process's working directory to reach paths longer than this, which
// would disturb every other thread; such entries are refused instead.
constexpr qsizetype maximumJoinedPathLength = PATH_MAX - 1;

// What libarchive may do on disk: permissions and times as archived; never a ".." path and
// never through a symbolic link, also when our own checks missed one.
constexpr int diskFlags = ARCHIVE_EXTRACT_PERM | ARCHIVE_EXTRACT_TIME |
                          ARCHIVE_EXTRACT_SECURE_NODOTDOT | ARCHIVE_EXTRACT_SECURE_SYMLINKS;

// Why an extraction stopped; turned into extractionFailed at the end.
struct Refusal {
    QString reason;
};

struct ReaderDeleter {
    void operator()(archive* reader) const { archive_read_free(reader); }
};
struct WriterDeleter {
    void operator()(archive* writer) const { archive_write_free(writer); }
};

QString libarchiveError(archive* handle) {
    const char* message = archive_error_string(handle);
    return message ? QString::fromLocal8Bit(message) : QStringLiteral("unknown libarchive error");
}

// Fails on an error; a warning (a damaged time stamp, an unknown extra field) is logged.
void check(int result, archive* handle, const QString& what) {
    if (result == ARCHIVE_WARN)
        qCInfo(logInstall).noquote() << what << "warned:" << libarchiveError(handle);
    else if (result < ARCHIVE_WARN)
        throw Refusal{what + QStringLiteral(": ") + libarchiveError(handle)};
}

// The entry's name with empty and "." components dropped, refused when it is absolute or
// climbs out with "..".
QByteArray relativeName(const char* pathname) {
    if (!pathname || !*pathname)
        throw Refusal{QStringLiteral("an entry has no readable name")};
    const QByteArray name(pathname);
    const QString shown = QString::fromLocal8Bit(name);
    if (name.startsWith('/'))
        throw Refusal{QStringLiteral("the entry name %1 is absolute").arg(shown)};
    QByteArrayList parts;
    for (const QByteArray& part : name.split('/')) {
        if (part == "..")
            throw Refusal{QStringLiteral("the entry name %1 leads out with ..").arg(shown)};
        if (!part.isEmpty() && part != ".")
            parts.append(part);
    }
    if (parts.isEmpty())
        throw Refusal{QStringLiteral("the entry name %1 names no file").arg(shown)};
    return parts.join('/');
}

// Refuses every kind of entry but regular files, folders and symbolic links.
void checkKind(archive_entry* entry, const QByteArray& name) {
    const QString shown = QString::fromLocal8Bit(name);
    if (archive_entry_hardlink(entry))
        throw Refusal{QStringLiteral("%1 is a hard link").arg(shown)};
    switch (archive_entry_filetype(entry)) {
    case AE_IFREG:
    case AE_IFDIR:
    case AE_IFLNK:
        return;
    default:
        throw Refusal{QStringLiteral("%1 is not a file, folder or symbolic link (type %2)")
                          .arg(shown)
                          .arg(archive_entry_filetype(entry), 0, 8)};
    }
}

// Keeps the archived permission bits but drops set-id and sticky bits, and lets the owner
// always read and write (and enter folders), so that the unpacked tree can be checked, copied
// and removed.
void adjustPermissions(archive_entry* entry) {
    const auto type = archive_entry_filetype(entry);
    if (type == AE_IFLNK)
        return;
    const mode_t ownerAccess = type == AE_IFDIR ? 0700 : 0600;
    archive_entry_set_perm(entry, (archive_entry_perm(entry) & 0777) | ownerAccess);
}

class Extraction {
public:
    Extraction(const ExtractionLimits& limits, QByteArray destination)
        : limits_(limits), destination_(std::move(destination)) {}

    void run(const QString& archivePath) {
        std::unique_ptr<archive, ReaderDeleter> reader(archive_read_new());
        std::unique_ptr<archive, WriterDeleter> writer(archive_write_disk_new());
        if (!reader || !writer)
            throw Refusal{QStringLiteral("libarchive could not start")};
        check(archive_read_support_format_zip(reader.get()), reader.get(),
              QStringLiteral("enabling zip"));
        check(archive_write_disk_set_options(writer.get(), diskFlags), writer.get(),
              QStringLiteral("setting the extraction options"));
        check(archive_read_open_filename(reader.get(), QFile::encodeName(archivePath).constData(),
                                         archiveReadBlockSize),
              reader.get(), QStringLiteral("opening the archive"));

        for (;;) {
            archive_entry* entry = nullptr;
            const int result = archive_read_next_header(reader.get(), &entry);
            if (result == ARCHIVE_EOF)
                break;
            check(result, reader.get(), QStringLiteral("reading an entry"));
            unpack(reader.get(), writer.get(), entry);
        }
        // Folder permissions and times are set here, after their contents.
        check(archive_write_close(writer.get()), writer.get(),
              QStringLiteral("finishing the extraction"));
    }

private:
    void unpack(archive* reader, archive* writer, archive_entry* entry) {
        if (++entries_ > limits_.maximumEntries)
            throw Refusal{
                QStringLiteral("the archive has more than %1 entries").arg(limits_.maximumEntries)};
        const QByteArray name = relativeName(archive_entry_pathname(entry));
        const QString shown = QString::fromLocal8Bit(name);
        if (seen_.contains(name))
            throw Refusal{QStringLiteral("the entry %1 comes twice").arg(shown)};
        seen_.insert(name);
        checkKind(entry, name);
        if (archive_entry_filetype(entry) == AE_IFREG && archive_entry_size_is_set(entry))
            account(archive_entry_size(entry), true);

        const QByteArray target = destination_ + '/' + name;
        if (target.size() > maximumJoinedPathLength)
            throw Refusal{QStringLiteral("the path of %1 is too long").arg(shown)};
        archive_entry_set_pathname(entry, target.constData());
        adjustPermissions(entry);
        check(archive_write_header(writer, entry), writer, QStringLiteral("writing ") + shown);

        if (archive_entry_filetype(entry) == AE_IFREG) {
            for (;;) {
                const void* block = nullptr;
                size_t size = 0;
                la_int64_t offset = 0;
                const int result = archive_read_data_block(reader, &block, &size, &offset);
                if (result == ARCHIVE_EOF)
                    break;
                check(result, reader, QStringLiteral("reading ") + shown);
                account(qint64(size), false);
                check(int(archive_write_data_block(writer, block, size, offset)), writer,
                      QStringLiteral("writing ") + shown);
            }
        }
        check(archive_write_finish_entry(writer), writer, QStringLiteral("finishing ") + shown);
    }

    // Counts `size` unpacked bytes (or, when `announced`, checks an entry's declared size
    // before any of it is written).
    void account(qint64 size, bool announced) {
        const qint64 total = unpackedBytes_ + size;
        if (size < 0 || total > limits_.maximumUnpackedBytes)
            throw Refusal{QStringLiteral("the archive unpacks to more than %1 bytes")
                              .arg(limits_.maximumUnpackedBytes)};
        if (!announced)
            unpackedBytes_ = total;
    }

    ExtractionLimits limits_;
    QByteArray destination_;
    QSet<QByteArray> seen_;
    qint64 entries_ = 0;
    qint64 unpackedBytes_ = 0;
};

} // namespace

void extractArchive(const QString& archivePath, const QString& destinationFolder,
                    const ExtractionLimits& limits) {
    try {
        // Resolved, so that no symbolic link in the folder's own path trips the check for
        // links in the paths being written.
        const QString destination = QFileInfo(destinationFolder).canonicalFilePath();
        if (destination.isEmpty() || !QFileInfo(destination).isDir())
            throw Refusal{QStringLiteral("the folder %1 does not exist").arg(destinationFolder)};
        Extraction(limits, QFile::encodeName(destination)).run(archivePath);
    } catch (const Refusal& refusal) {
        qCWarning(logInstall).noquote() << "extracting" << archivePath << "to" << destinationFolder
                                        << "failed:" << refusal.reason;
        throw AppInstallerError::of(AppInstallerError::Case::extractionFailed);
    }
}

} // namespace nimbara
