#include "bundle_zip.h"

#include "code_signing.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <archive.h>
#include <archive_entry.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbara::codesign {

namespace {

struct ArchiveWriterFree {
    void operator()(archive* writer) const { archive_write_free(writer); }
};
using ArchiveWriter = std::unique_ptr<archive, ArchiveWriterFree>;

struct EntryFree {
    void operator()(archive_entry* entry) const { archive_entry_free(entry); }
};
using ArchiveEntry = std::unique_ptr<archive_entry, EntryFree>;

[[noreturn]] void fail(const QString& what, archive* zip) {
    const char* reason = zip ? archive_error_string(zip) : nullptr;
    throw CodeSigningError(reason ? QStringLiteral("%1: %2").arg(what, QString::fromUtf8(reason))
                                  : what);
}

QByteArray linkTarget(const QString& path) {
    char target[4096];
    const ssize_t length = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
    if (length < 0)
        throw CodeSigningError(QStringLiteral("cannot read the symlink %1").arg(path));
    return QByteArray(target, length);
}

// The folder (if it is an entry itself) and everything below it, never following a symlink.
QStringList entriesOf(const QString& folder, bool folderItself) {
    QStringList paths;
    if (folderItself)
        paths.append(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(it.next());
    return paths;
}

void writeEntry(archive* zip, const QDir& base, const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        throw CodeSigningError(QStringLiteral("cannot read %1 to zip it").arg(path));
    const ArchiveEntry entry(archive_entry_new());
    archive_entry_copy_stat(entry.get(), &info);
    archive_entry_set_pathname(entry.get(),
                               QFile::encodeName(base.relativeFilePath(path)).constData());
    QByteArray contents;
    if (S_ISLNK(info.st_mode)) {
        archive_entry_set_symlink(entry.get(), linkTarget(path).constData());
    } else if (S_ISREG(info.st_mode)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw CodeSigningError(
                QStringLiteral("cannot read %1 to zip it: %2").arg(path, file.errorString()));
        contents = file.readAll();
    }
    if (archive_write_header(zip, entry.get()) != ARCHIVE_OK)
        fail(QStringLiteral("cannot add %1 to the archive").arg(path), zip);
    if (!contents.isEmpty() &&
        archive_write_data(zip, contents.constData(), size_t(contents.size())) != contents.size())
        fail(QStringLiteral("cannot write %1 into the archive").arg(path), zip);
}

} // namespace

void zipFolder(const QString& folder, const QString& zipPath, bool folderItself) {
    if (!QFileInfo(folder).isDir())
        throw CodeSigningError(QStringLiteral("%1 is not a folder").arg(folder));
    const ArchiveWriter zip(archive_write_new());
    archive_write_set_format_zip(zip.get());
    if (archive_write_open_filename(zip.get(), QFile::encodeName(zipPath).constData()) !=
        ARCHIVE_OK)
        fail(QStringLiteral("cannot create %1").arg(zipPath), zip.get());
    const QDir base = folderItself ? QFileInfo(folder).dir() : QDir(folder);
    for (const QString& path : entriesOf(folder, folderItself))
        writeEntry(zip.get(), base, path);
    if (archive_write_close(zip.get()) != ARCHIVE_OK)
        fail(QStringLiteral("cannot finish %1").arg(zipPath), zip.get());
}

} // namespace nimbara::codesign
