#include "support/test_archive.h"

#include <QFile>
#include <QTest>
#include <archive.h>
#include <archive_entry.h>
#include <memory>
#include <sys/stat.h>

namespace nimbara::test {

namespace {

quint16 le16(const QByteArray& data, qsizetype at) {
    return quint16(quint8(data[at])) | quint16(quint8(data[at + 1])) << 8;
}

quint32 le32(const QByteArray& data, qsizetype at) {
    return quint32(le16(data, at)) | quint32(le16(data, at + 2)) << 16;
}

void setLe32(QByteArray& data, qsizetype at, quint32 value) {
    for (int i = 0; i < 4; ++i)
        data[at + i] = char((value >> (8 * i)) & 0xff);
}

// Rewrites the Unix mode (the upper half of the external attributes) of the central directory
// entries named in `modes`.
bool rewriteZipModes(QByteArray& zip, const QList<std::pair<QByteArray, mode_t>>& modes) {
    const qsizetype end = zip.lastIndexOf("PK\x05\x06");
    if (end < 0)
        return false;
    const quint16 count = le16(zip, end + 10);
    qsizetype at = le32(zip, end + 16);
    for (int i = 0; i < count; ++i) {
        if (!zip.mid(at, 4).startsWith("PK\x01\x02"))
            return false;
        const quint16 nameLength = le16(zip, at + 28);
        const QByteArray name = zip.mid(at + 46, nameLength);
        for (const auto& [wanted, mode] : modes) {
            if (name == wanted)
                setLe32(zip, at + 38, quint32(mode) << 16);
        }
        at += 46 + nameLength + le16(zip, at + 30) + le16(zip, at + 32);
    }
    return true;
}

} // namespace

TestArchive& TestArchive::file(const QByteArray& name, const QByteArray& content,
                               mode_t permissions, qint64 modified) {
    entries_.append({name, mode_t(S_IFREG | permissions), content, {}, false, modified});
    return *this;
}

TestArchive& TestArchive::directory(const QByteArray& name, mode_t permissions, qint64 modified) {
    entries_.append({name, mode_t(S_IFDIR | permissions), {}, {}, false, modified});
    return *this;
}

TestArchive& TestArchive::symlink(const QByteArray& name, const QByteArray& target) {
    entries_.append({name, mode_t(S_IFLNK | 0777), {}, target, false, defaultModified});
    return *this;
}

TestArchive& TestArchive::hardlink(const QByteArray& name, const QByteArray& target) {
    entries_.append({name, mode_t(S_IFREG | 0644), {}, target, true, defaultModified});
    return *this;
}

TestArchive& TestArchive::special(const QByteArray& name, mode_t type) {
    entries_.append({name, mode_t(type | 0644), {}, {}, false, defaultModified});
    return *this;
}

void TestArchive::writeZip(const QString& path) const {
    write(path, true);
}

void TestArchive::writeTar(const QString& path) const {
    write(path, false);
}

void TestArchive::write(const QString& path, bool zip) const {
    std::unique_ptr<archive, decltype(&archive_write_free)> writer(archive_write_new(),
                                                                   &archive_write_free);
    QVERIFY((zip ? archive_write_set_format_zip(writer.get())
                 : archive_write_set_format_pax_restricted(writer.get())) == ARCHIVE_OK);
    QByteArray bytes(
        1024 * 1024 + 64 * qsizetype(entries_.size()) +
            [this] {
                qsizetype sum = 0;
                for (const Entry& entry : entries_)
                    sum += entry.content.size() + 512;
                return sum;
            }(),
        '\0');
    size_t used = 0;
    QVERIFY(archive_write_open_memory(writer.get(), bytes.data(), size_t(bytes.size()), &used) ==
            ARCHIVE_OK);

    QList<std::pair<QByteArray, mode_t>> specialModes;
    for (const Entry& wanted : entries_) {
        std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(),
                                                                            &archive_entry_free);
        archive_entry_set_pathname(entry.get(), wanted.name.constData());
        const mode_t type = wanted.mode & S_IFMT;
        const bool special = type != S_IFREG && type != S_IFDIR && type != S_IFLNK;
        if (special && zip)
            specialModes.append({wanted.name, wanted.mode});
        archive_entry_set_mode(entry.get(), special && zip ? (S_IFREG | 0644) : wanted.mode);
        archive_entry_set_mtime(entry.get(), wanted.modified, 0);
        if (type == S_IFLNK)
            archive_entry_set_symlink(entry.get(), wanted.linkTarget.constData());
        if (wanted.hardlink)
            archive_entry_set_hardlink(entry.get(), wanted.linkTarget.constData());
        archive_entry_set_size(entry.get(), wanted.content.size());
        QVERIFY2(archive_write_header(writer.get(), entry.get()) == ARCHIVE_OK,
                 archive_error_string(writer.get()));
        if (!wanted.content.isEmpty())
            QCOMPARE(archive_write_data(writer.get(), wanted.content.constData(),
                                        size_t(wanted.content.size())),
                     la_ssize_t(wanted.content.size()));
    }
    QVERIFY(archive_write_close(writer.get()) == ARCHIVE_OK);
    bytes.truncate(qsizetype(used));
    if (!specialModes.isEmpty())
        QVERIFY(rewriteZipModes(bytes, specialModes));

    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(out.write(bytes), bytes.size());
}

} // namespace nimbara::test
